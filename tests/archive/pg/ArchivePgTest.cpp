// The archive on a PostgreSQL 15 server of the tests' own: the schema created on first use,
// records kept once, programs importing at once or killed, a connection lost in the middle,
// and a server that cannot be reached or refuses the user.
#include "../ArchiveProcess.h"
#include "PgServer.h"

#include "archive/ArchiveAcceptance.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveQuery.h"
#include "archive/ArchiveSchema.h"
#include "lang/ExtraTexts.h"
#include "results/RecordTexts.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

class ArchivePgTest : public ::testing::Test {
protected:
    test::PgServer server = test::PgServer::FromState();
};

TEST_F(ArchivePgTest, RecordsAreKeptOnceWhateverBringsThem) {
    const TArchiveConnection connection = server.FreshDatabase();
    TArchive archive;
    const TArchiveError e = archive.Open(connection);
    ASSERT_FALSE(e) << e.Detail.toStdString();
    EXPECT_EQ(archive.SchemaVersion(), CurrentSchemaVersion());

    auto records = test::MakeRecords(40);
    test::SetShortText(records[0].ObjectName, "');DROP TABLE lot;--\"");
    TDownloadInfo info;
    info.ParamText = "LUM-1.2 No 0417; x'";
    EXPECT_EQ(ArchiveDownload(archive, records, info).New, 40);
    EXPECT_EQ(ArchiveDownload(archive, records, info).New, 0);
    EXPECT_EQ(ArchiveRecordsOfFile(archive, records, "same.lum1").New, 0);
    TMeasRecord changed = records[5];
    reinterpret_cast<uint8_t*>(&changed)[89] ^= 1;
    EXPECT_EQ(ArchiveRecordsOfFile(archive, {&changed, 1}, "changed.lum1").New, 1);

    TArchiveFilter filter;
    filter.Object = "');DROP TABLE lot;--\"";
    filter.Exact = true;
    EXPECT_EQ(CountRecords(archive, filter).Shown, 1);
    filter = {};
    filter.Gauge = "no 0417; X'";
    EXPECT_EQ(CountRecords(archive, filter).Shown, 40);
    // Every column sorts on this engine too, and the rows come back byte for byte.
    for (int column = 0; column < ResultColumns; ++column)
        EXPECT_EQ(FetchRecords(archive, {}, {column, column % 2 == 1}, 0, 100).size(), 41u) << column;
    const auto rows = FetchRecords(archive, {}, {0, false}, 0, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(test::RecordBytes(rows[0].Record), test::RecordBytes(records[0]));
    test::ExpectWholeArrivals(archive);

    // Opening again finds the schema there.
    TArchive second;
    EXPECT_FALSE(second.Open(connection));
    EXPECT_EQ(CountRecords(second, {}).Total, 41);
}

QByteArray ServerSettings(const TArchiveConnection& c) {
    return QStringLiteral("Engine=PostgreSQL\r\nHost=%1\r\nPort=%2\r\nDatabase=%3\r\nUser=%4\r\n")
        .arg(c.Host)
        .arg(c.Port)
        .arg(c.Database, c.User)
        .toUtf8();
}

// Both programs find no schema and create it at the same moment, then import the same files.
TEST_F(ArchivePgTest, TwoProgramsImportingTheSameFilesAtOnceKeepEachRecordOnce) {
    test::TempDir dir;
    const QStringList files = test::WriteOverlappingFiles(dir);
    const TArchiveConnection connection = server.FreshDatabase();
    const test::ProgramCopy program(dir, ServerSettings(connection));
    test::ImportTwiceAtOnce(program, files);

    TArchive archive;
    ASSERT_FALSE(archive.Open(connection));
    EXPECT_EQ(CountRecords(archive, {}).Total, test::OverlapDistinct);
    EXPECT_EQ(test::ScalarOf(archive, "SELECT count(*) FROM arrival"), 2 * test::OverlapFiles);
    EXPECT_EQ(test::ScalarOf(archive, "SELECT sum(new_records) FROM arrival"), test::OverlapDistinct);
    test::ExpectWholeArrivals(archive);
}

TEST_F(ArchivePgTest, AProgramKilledDuringAnImportLeavesWholeArrivalsOnly) {
    test::TempDir dir;
    const QStringList files = test::WriteOverlappingFiles(dir);
    const TArchiveConnection connection = server.FreshDatabase();
    const test::ProgramCopy program(dir, ServerSettings(connection));
    test::ImportAndKill(program, files, 5);

    TArchive archive;
    ASSERT_FALSE(archive.Open(connection));
    // The server ends the killed program's session and its open transaction with it.
    const qint64 arrivals = test::ScalarOf(archive, "SELECT count(*) FROM arrival");
    EXPECT_GE(arrivals, 5);
    EXPECT_LT(arrivals, test::OverlapFiles);
    test::ExpectWholeArrivals(archive);
    EXPECT_EQ(CountRecords(archive, {}).Total, test::OverlapFileRecords + (arrivals - 1) * test::OverlapStep);
}

TEST_F(ArchivePgTest, AConnectionLostInTheMiddleOfAnArrivalWritesNothingOfIt) {
    const TArchiveConnection connection = server.FreshDatabase();
    TArchive archive;
    ASSERT_FALSE(archive.Open(connection));
    ASSERT_EQ(ArchiveDownload(archive, test::MakeRecords(5), {}).New, 5);
    // The server drops the connection while the records of the next arrival go in.
    ASSERT_TRUE(
        server.Admin({"CREATE FUNCTION cut() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                      " IF NEW.number = 17 THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF;"
                      " RETURN NEW; END $$",
                      "CREATE TRIGGER cut BEFORE INSERT ON measurement FOR EACH ROW EXECUTE FUNCTION cut()"},
                     connection.Database));
    const auto records = test::MakeRecords(30);
    const TArrivalResult lost = ArchiveDownload(archive, records, {});
    EXPECT_EQ(lost.Error.Kind, TArchiveErrorKind::ConnectionLost) << lost.Error.Detail.toStdString();
    EXPECT_EQ(lost.New, 0);
    const QString text =
        ArchiveErrorText(lost.Error, [](const QString& k) { return BuiltInExtraText(k, false); });
    EXPECT_TRUE(text.startsWith("Связь с сервером архива")) << text.toStdString();
    EXPECT_TRUE(text.contains("Ничего из этого поступления не записано"));

    ASSERT_TRUE(server.Admin({"DROP TRIGGER cut ON measurement"}, connection.Database));
    TArchive look;
    ASSERT_FALSE(look.Open(connection));
    EXPECT_EQ(CountRecords(look, {}).Total, 5);
    EXPECT_EQ(test::ScalarOf(look, "SELECT count(*) FROM arrival"), 1);

    // The next arrival connects anew.
    const TArrivalResult again = ArchiveDownload(archive, records, {});
    ASSERT_TRUE(again.Ok()) << again.Error.Detail.toStdString();
    EXPECT_EQ(again.New, 25);
    test::ExpectWholeArrivals(look);
}

// An archive as versions 1 and 2 left it on the server (the current one with what came later
// dropped), brought up to date with its records and lot, then keeping the lot acceptance.
TEST_F(ArchivePgTest, ArchivesOfEarlierVersionsAreBroughtUpToDateAndKeepTheAcceptance) {
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        const TArchiveConnection connection = server.FreshDatabase();
        const auto records = test::MakeRecords(6);
        {
            TArchive archive;
            ASSERT_FALSE(archive.Open(connection));
            ASSERT_TRUE(ArchiveDownload(archive, records, {}).Ok());
            TLot lot;
            lot.Name = QStringLiteral("North");
            lot.Material = QStringLiteral("Mix A");
            const TLotResult made = CreateLot(archive, lot);
            ASSERT_TRUE(AssignToLot(archive, {1, 2, 3, 4}, made.Id).Ok());
        }
        QStringList down = {"DROP TABLE correlation_pair",
                            "ALTER TABLE lot DROP COLUMN correlation_id, DROP COLUMN limits_quantity,"
                            " DROP COLUMN limits_lower, DROP COLUMN limits_upper, DROP COLUMN limits_rule,"
                            " DROP COLUMN limits_tolerance, DROP COLUMN limits_pwl",
                            "DROP TABLE correlation"};
        if (version == 1)
            down << "DROP INDEX measurement_lot"
                 << "ALTER TABLE measurement DROP COLUMN lot_id"
                 << "DROP TABLE lot";
        down << QStringLiteral("UPDATE archive_info SET value = '%1' WHERE name = 'schema_version'").arg(version);
        ASSERT_TRUE(server.Admin(down, connection.Database));

        TArchive archive;
        const TArchiveError e = archive.Open(connection);
        ASSERT_FALSE(e) << e.Detail.toStdString();
        EXPECT_EQ(archive.SchemaVersion(), CurrentSchemaVersion());
        EXPECT_EQ(CountRecords(archive, {}).Total, 6);
        EXPECT_EQ(ArchiveDownload(archive, records, {}).New, 0);
        test::ExpectWholeArrivals(archive);
        std::vector<TLot> lots = Lots(archive);
        if (version == 1) {
            ASSERT_TRUE(lots.empty());
            TLot lot;
            lot.Name = QStringLiteral("North");
            ASSERT_TRUE(AssignToLot(archive, {1, 2, 3, 4}, CreateLot(archive, lot).Id).Ok());
            lots = Lots(archive);
        }
        ASSERT_EQ(lots.size(), 1u);
        EXPECT_EQ(lots[0].Records, 4);
        const qint64 lot = lots[0].Id;

        const std::vector<TLotRecord> lotRecords = AcceptanceLotRecords(archive, lot);
        std::vector<TCorePair> cores;
        for (const TLotRecord& r : lotRecords)
            cores.push_back({r.Key, r.Record.Density + 15.0});
        const TCorrelationFit fit = FitCorrelation(lotRecords, cores, TCorrelationKind::Offset);
        ASSERT_TRUE(fit.Ok());
        TLotCorrelation c =
            KeepCorrelation(fit, QStringLiteral("x'); DROP TABLE lot;--"), QStringLiteral("Иванова"),
                            QDateTime(QDate(2024, 6, 4), QTime(9, 15)), lotRecords);
        c.Scope = TCorrelationScope::Mix;
        c.Mix = QStringLiteral("Mix A");
        const TLotResult applied = ApplyLotCorrelation(archive, lot, c);
        ASSERT_TRUE(applied.Ok()) << applied.Error.Detail.toStdString();
        TAcceptanceLimits limits;
        limits.Lower = 0.975;
        limits.Upper = 1.02;
        limits.Rule = TAcceptanceRule::Pwl;
        ASSERT_TRUE(SetLotLimits(archive, lot, limits).Ok());

        TArchive other;
        ASSERT_FALSE(other.Open(connection));
        const std::optional<TLotCorrelation> kept = LotCorrelationOf(other, lot);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->Name, c.Name);
        EXPECT_EQ(kept->Author, c.Author);
        EXPECT_EQ(kept->Made, c.Made);
        EXPECT_EQ(kept->Scope, TCorrelationScope::Mix);
        EXPECT_DOUBLE_EQ(kept->Correction.Offset, 15.0);
        ASSERT_EQ(kept->Pairs.size(), 4u);
        EXPECT_EQ(kept->Pairs[3].RecordId, lotRecords[3].Id);
        EXPECT_EQ(MixCorrelations(other, QStringLiteral("Mix A")).size(), 1u);
        EXPECT_EQ(LotLimits(other, lot)->Upper, 1.02);
        EXPECT_EQ(LotLimits(other, lot)->Rule, TAcceptanceRule::Pwl);
        EXPECT_TRUE(DeleteLot(other, lot).Ok());
    }
}

TEST_F(ArchivePgTest, AServerThatCannotBeReachedOrRefusesTheUserIsNamedAndExplained) {
    test::TempDir dir;
    const TArchiveConnection owned = server.FreshDatabase("pwuser");
    auto passFile = [&](const QByteArray& password) {
        dir.Write("pgpass", QStringLiteral("*:*:*:pwuser:").toUtf8() + password + "\n");
        QFile::setPermissions(dir.File("pgpass"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        qputenv("PGPASSFILE", dir.File("pgpass").toUtf8());
    };
    struct Case {
        const char* what;
        std::function<TArchiveConnection()> prepare;
        TArchiveErrorKind kind;
    };
    const std::vector<Case> cases = {
        {"no server on that socket",
         [&] {
             TArchiveConnection c = owned;
             c.Host = dir.Path();
             return c;
         },
         TArchiveErrorKind::Unreachable},
        {"no password",
         [&] {
             qputenv("PGPASSFILE", dir.File("none").toUtf8());
             return owned;
         },
         TArchiveErrorKind::AuthFailed},
        {"a wrong password in the password file",
         [&] {
             passFile("wrong");
             return owned;
         },
         TArchiveErrorKind::AuthFailed},
        {"the password file right",
         [&] {
             passFile("secret");
             return owned;
         },
         TArchiveErrorKind::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TArchive archive;
        const TArchiveError e = archive.Open(c.prepare());
        EXPECT_EQ(e.Kind, c.kind) << e.Detail.toStdString();
        EXPECT_EQ(archive.IsOpen(), c.kind == TArchiveErrorKind::None);
        if (c.kind != TArchiveErrorKind::None) {
            const QString text =
                ArchiveErrorText(e, [](const QString& k) { return BuiltInExtraText(k, true); });
            EXPECT_TRUE(text.contains(e.Place)) << text.toStdString();
            EXPECT_FALSE(e.Detail.isEmpty());
        }
    }
    qunsetenv("PGPASSFILE");
}

} // namespace
} // namespace lum1
