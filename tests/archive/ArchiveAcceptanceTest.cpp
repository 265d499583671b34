// The lot acceptance kept in the archive: correlations with their pairs, author and date, for a
// lot or reused for a mix; each lot's own limits; archives of the earlier schema versions brought
// up to date with everything in them.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveAcceptance.h"
#include "archive/ArchiveQuery.h"
#include "archive/ArchiveSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QTextStream>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

// A lot of the first `count` records of MakeRecords, made in a new archive.
struct TLotArchive {
    test::TempDir dir;
    TArchive archive;
    qint64 lot = 0;

    explicit TLotArchive(int count, const QString& name = QStringLiteral("North")) {
        EXPECT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        EXPECT_TRUE(ArchiveDownload(archive, test::MakeRecords(count), {}).Ok());
        lot = MakeLot(name, 1, count);
    }
    qint64 MakeLot(const QString& name, int first, int last, const QString& material = {}) {
        TLot l;
        l.Name = name;
        l.Material = material;
        const TLotResult made = CreateLot(archive, l);
        EXPECT_TRUE(made.Ok());
        std::vector<qint64> ids;
        for (const TArchiveRow& row : FetchRecords(archive, {}, {0, false}, 0, 10000))
            if (row.Record.Number >= first && row.Record.Number <= last)
                ids.push_back(row.Id);
        EXPECT_TRUE(AssignToLot(archive, ids, made.Id).Ok());
        return made.Id;
    }
};

// The offset of cores 20 kg/m3 above records 1..n's densities, one of them 40 above: kept only on
// the user's word.
TLotCorrelation FitOnLot(TArchive& archive, qint64 lot, int pairs, bool withOutlier) {
    const std::vector<TLotRecord> records = AcceptanceLotRecords(archive, lot);
    std::vector<TCorePair> cores;
    for (int i = 0; i < pairs; ++i) {
        const TLotRecord& r = records[static_cast<size_t>(i)];
        const double d = r.Record.Density + 20.0 + (i % 2 ? 0.5 : -0.5);
        cores.push_back({r.Key, withOutlier && i == pairs - 1 ? d + 60.0 : d});
    }
    const TCorrelationFit fit = FitCorrelation(records, cores, TCorrelationKind::Offset, withOutlier);
    EXPECT_TRUE(fit.Ok());
    return KeepCorrelation(fit, QStringLiteral("Cores of 4 June"), QStringLiteral("А. Иванова"),
                           QDateTime(QDate(2024, 6, 4), QTime(16, 30)), records);
}

TEST(ArchiveAcceptanceTest, ACorrelationComesBackWithItsPairsAuthorDateAndNotes) {
    TLotArchive a(12);
    const TLotCorrelation made = FitOnLot(a.archive, a.lot, 8, true);
    ASSERT_EQ(made.Correction.Notes.size(), 1u); // the outlier, kept

    EXPECT_FALSE(LotCorrelationOf(a.archive, a.lot));
    const TLotResult applied = ApplyLotCorrelation(a.archive, a.lot, made);
    ASSERT_TRUE(applied.Ok()) << applied.Error.Detail.toStdString();

    // Read by another connection: nothing came from this one's memory.
    TArchive other;
    ASSERT_FALSE(other.Open(a.archive.Connection()));
    const std::optional<TLotCorrelation> kept = LotCorrelationOf(other, a.lot);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Id, applied.Id);
    EXPECT_EQ(kept->Name, made.Name);
    EXPECT_EQ(kept->Author, QStringLiteral("А. Иванова"));
    EXPECT_EQ(kept->Made, made.Made);
    EXPECT_EQ(kept->Kind, TCorrelationKind::Offset);
    EXPECT_TRUE(kept->KeepOutliers);
    ASSERT_EQ(kept->Pairs.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(kept->Pairs[i].Key, made.Pairs[i].Key);
        EXPECT_EQ(kept->Pairs[i].Gauge, made.Pairs[i].Gauge);
        EXPECT_EQ(kept->Pairs[i].Core, made.Pairs[i].Core);
        EXPECT_NE(kept->Pairs[i].RecordId, 0);
        EXPECT_EQ(kept->Pairs[i].RecordId, made.Pairs[i].RecordId);
    }
    EXPECT_DOUBLE_EQ(kept->Correction.Offset, made.Correction.Offset);
    EXPECT_DOUBLE_EQ(kept->Correction.OffsetSD, made.Correction.OffsetSD);
    EXPECT_EQ(kept->Correction.Pairs, 8);
    ASSERT_EQ(kept->Correction.Notes.size(), 1u);
    EXPECT_EQ(kept->Correction.Notes[0].Kind, TAcceptanceIssue::OutlierKept);
    EXPECT_EQ(kept->Correction.Notes[0].Pair, 8);
    EXPECT_EQ(kept->ForUse().Description, QStringLiteral("Cores of 4 June — А. Иванова, 2024-06-04 16:30"));
    EXPECT_TRUE(CheckLotCorrelation(AcceptanceLotRecords(other, a.lot), *kept).empty());

    // Removed from the lot, it stays in the archive.
    ASSERT_TRUE(RemoveLotCorrelation(a.archive, a.lot).Ok());
    EXPECT_FALSE(LotCorrelationOf(a.archive, a.lot));
    EXPECT_TRUE(FindCorrelation(a.archive, applied.Id));
}

// A pair's record taken out of the lot and another record of the same number and density put in
// its place: the kept correlation no longer holds, by the archive's ids.
TEST(ArchiveAcceptanceTest, APairWhoseRecordLeftTheLotIsNamed) {
    TLotArchive a(6);
    const TLotCorrelation made = FitOnLot(a.archive, a.lot, 3, false);
    ASSERT_TRUE(ApplyLotCorrelation(a.archive, a.lot, made).Ok());
    const std::vector<TLotRecord> lot = AcceptanceLotRecords(a.archive, a.lot);
    ASSERT_TRUE(AssignToLot(a.archive, {lot[0].Id}, NoLot).Ok());
    std::vector<TLotRecord> now = AcceptanceLotRecords(a.archive, a.lot);
    std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(now, *LotCorrelationOf(a.archive, a.lot));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].Kind, TAcceptanceIssue::MissingRecord);
    EXPECT_EQ(issues[0].Pair, 1);

    TLotRecord stranger = lot[0];
    stranger.Id = 999;
    now.insert(now.begin(), stranger);
    issues = CheckLotCorrelation(now, *LotCorrelationOf(a.archive, a.lot));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].Kind, TAcceptanceIssue::MissingRecord);
}

TEST(ArchiveAcceptanceTest, AMixCorrelationIsReusedAcrossLotsAndOutlivesItsLot) {
    TLotArchive a(20);
    const qint64 second = a.MakeLot(QStringLiteral("South"), 13, 20, QStringLiteral("Mix A"));
    TLotCorrelation older = FitOnLot(a.archive, a.lot, 4, false);
    older.Scope = TCorrelationScope::Mix;
    older.Mix = QStringLiteral("Mix A");
    older.Made = older.Made.addDays(-10);
    TLotCorrelation newer = FitOnLot(a.archive, a.lot, 5, false);
    newer.Scope = TCorrelationScope::Mix;
    newer.Mix = QStringLiteral("Mix A");
    ASSERT_TRUE(ApplyLotCorrelation(a.archive, a.lot, older).Ok());
    const TLotResult kept = ApplyLotCorrelation(a.archive, a.lot, newer);
    ASSERT_TRUE(kept.Ok());

    const std::vector<TLotCorrelation> mix = MixCorrelations(a.archive, QStringLiteral("Mix A"));
    ASSERT_EQ(mix.size(), 2u);
    EXPECT_EQ(mix[0].Id, kept.Id); // the newest first
    EXPECT_EQ(mix[0].Scope, TCorrelationScope::Mix);
    EXPECT_TRUE(MixCorrelations(a.archive, QStringLiteral("Mix B")).empty());

    // Chosen for the other lot: applied, not kept twice; it holds there by its numbers.
    const TLotResult reused = ApplyLotCorrelation(a.archive, second, mix[0]);
    ASSERT_TRUE(reused.Ok());
    EXPECT_EQ(reused.Id, kept.Id);
    EXPECT_EQ(test::ScalarOf(a.archive, "SELECT count(*) FROM correlation"), 2);
    EXPECT_TRUE(CheckLotCorrelation(AcceptanceLotRecords(a.archive, second), mix[0]).empty());

    // The lot it was made on goes; the correlation and its use elsewhere stay.
    ASSERT_TRUE(DeleteLot(a.archive, a.lot).Ok());
    EXPECT_EQ(LotCorrelationOf(a.archive, second)->Id, kept.Id);
    EXPECT_EQ(test::ScalarOf(a.archive, "SELECT count(*) FROM correlation_pair"), 9);
}

TEST(ArchiveAcceptanceTest, EachLotKeepsItsOwnLimitsAndRule) {
    TLotArchive a(4);
    const qint64 second = a.MakeLot(QStringLiteral("South"), 3, 4);
    EXPECT_FALSE(LotLimits(a.archive, a.lot)); // none of its own: the defaults hold
    EXPECT_FALSE(a.archive.LastError());

    TAcceptanceLimits pwl;
    pwl.Quantity = TAcceptanceQuantity::Density;
    pwl.Lower = 2310;
    pwl.Upper = 2450.5;
    pwl.Rule = TAcceptanceRule::Pwl;
    pwl.PwlThreshold = 85;
    TAcceptanceLimits mean;
    mean.Lower = 0.97;
    mean.Rule = TAcceptanceRule::MeanAndTolerance;
    mean.Tolerance = 0.015;
    ASSERT_TRUE(SetLotLimits(a.archive, a.lot, pwl).Ok());
    ASSERT_TRUE(SetLotLimits(a.archive, second, mean).Ok());

    const auto first = LotLimits(a.archive, a.lot);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Quantity, TAcceptanceQuantity::Density);
    EXPECT_EQ(first->Lower, 2310);
    EXPECT_EQ(first->Upper, 2450.5);
    EXPECT_EQ(first->Rule, TAcceptanceRule::Pwl);
    EXPECT_EQ(first->PwlThreshold, 85);
    const auto other = LotLimits(a.archive, second);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Quantity, TAcceptanceQuantity::Compaction);
    EXPECT_EQ(other->Lower, 0.97);
    EXPECT_FALSE(other->Upper);
    EXPECT_EQ(other->Rule, TAcceptanceRule::MeanAndTolerance);
    EXPECT_EQ(other->Tolerance, 0.015);

    TAcceptanceLimits wrong = mean;
    wrong.Upper = 0.9;
    EXPECT_EQ(SetLotLimits(a.archive, second, wrong).Problem, TLotProblem::BadLimits);
    EXPECT_EQ(LotLimits(a.archive, second)->Upper, std::nullopt);
    EXPECT_EQ(SetLotLimits(a.archive, 4711, mean).Problem, TLotProblem::NotFound);
}

// Archives that versions 1 and 2 of the schema wrote: brought up to date, their records and
// lot as they were, and the acceptance kept in them from then on.
TEST(ArchiveAcceptanceTest, ArchivesOfEarlierVersionsAreBroughtUpToDateWithEverythingKept) {
    for (const char* version : {"archive-v1.sql", "archive-v2.sql"}) {
        SCOPED_TRACE(version);
        test::TempDir dir;
        const QString path = dir.File("archive.sqlite");
        test::RunSqlScript(QStringLiteral(LUM1_ARCHIVE_TEST_DATA "/") + QString::fromLatin1(version), path);
        {
            TArchive archive;
            const TArchiveError e = archive.Open(test::SqliteAt(path));
            ASSERT_FALSE(e) << e.Detail.toStdString();
            EXPECT_EQ(archive.SchemaVersion(), 3);
            EXPECT_EQ(CountRecords(archive, {}).Total, 2);
            test::ExpectWholeArrivals(archive);
            std::vector<TLot> lots = Lots(archive);
            if (QByteArray(version) == "archive-v2.sql") {
                ASSERT_EQ(lots.size(), 1u);
                EXPECT_EQ(lots[0].Name, QStringLiteral("M-4 km 12, binder"));
                EXPECT_EQ(lots[0].Material, QStringLiteral("Асфальт"));
                EXPECT_EQ(lots[0].Notes, QStringLiteral("cores drilled 4 June"));
                EXPECT_EQ(lots[0].Records, 2);
            } else {
                ASSERT_TRUE(lots.empty());
                TLot lot;
                lot.Name = QStringLiteral("M-4 km 12, binder");
                const TLotResult made = CreateLot(archive, lot);
                ASSERT_TRUE(AssignToLot(archive, {1, 2}, made.Id).Ok());
                lots = Lots(archive);
            }
            const qint64 lot = lots[0].Id;
            EXPECT_FALSE(LotLimits(archive, lot));
            const std::vector<TLotRecord> records = AcceptanceLotRecords(archive, lot);
            ASSERT_EQ(records.size(), 2u);
            EXPECT_EQ(records[0].Record.Density, 2352.0f);
            const TCorrelationFit fit = FitCorrelation(records, std::vector<TCorePair>{{1, 2370}, {2, 2396}},
                                                       TCorrelationKind::Offset);
            ASSERT_TRUE(fit.Ok());
            ASSERT_TRUE(ApplyLotCorrelation(archive, lot, KeepCorrelation(fit, {}, "lab", {}, records)).Ok());
            TAcceptanceLimits limits;
            limits.Lower = 0.99;
            ASSERT_TRUE(SetLotLimits(archive, lot, limits).Ok());
        }
        TArchive again;
        ASSERT_FALSE(again.Open(test::SqliteAt(path)));
        const qint64 lot = Lots(again)[0].Id;
        ASSERT_TRUE(LotCorrelationOf(again, lot));
        EXPECT_DOUBLE_EQ(LotCorrelationOf(again, lot)->Correction.Offset, 17.0); // (18 + 16) / 2
        EXPECT_EQ(LotLimits(again, lot)->Lower, 0.99);
    }
}

} // namespace
} // namespace lum1
