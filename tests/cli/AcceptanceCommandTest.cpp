// "lum1 --export acceptance-pdf": its options, the exit code and message of each bad input, the
// report it writes and the verdict it prints.
#include "RecordFixture.h"
#include "BatchRun.h"
#include "TempDir.h"

#include "ArchiveFixture.h"

#include "acceptance/LotCorrelation.h"
#include "app/FileLocations.h"
#include "archive/ArchiveAcceptance.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLots.h"
#include "cli/AcceptanceCommand.h"
#include "cli/BatchExport.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

using Outcome = test::BatchOutcome;

class AcceptanceCommandTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TFileLocations locations;

    void SetUp() override {
        locations.ProgramDir = dir.Path();
        locations.DataDir = dir.Path();
        locations.ArchiveDir = dir.Path();
        locations.SettingsPath = dir.File(QStringLiteral("lum1.ini"));
        QDir().mkpath(dir.File(QStringLiteral("Language")));
        // Records 11..16, compaction factors 0.985 .. 0.995, one of them 0.979.
        QByteArray lot, unusable;
        const double factors[] = {0.985, 0.99, 0.979, 0.995, 0.988, 0.992};
        for (int i = 0; i < 6; ++i) {
            TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(11 + i));
            r.Density = static_cast<float>(factors[i] * 2400.0);
            lot += test::RecordBytes(r);
            r.Mode = 2;
            unusable += test::RecordBytes(r);
        }
        dir.Write(QStringLiteral("lot.lum1"), lot);
        dir.Write(QStringLiteral("unusable.lum1"), unusable);
        // The gauge reads 20 kg/m3 low: cores of records 11, 13 and 15.
        dir.Write(QStringLiteral("cores.csv"), "Record;Core\r\n11;2384\r\n13;2369,6\r\n15;2391,2\r\n");
        dir.Write(QStringLiteral("outlier.txt"), "11 2384\n12 2396\n13 2370\n14 2408\n15 2391\n16 2500\n");
        dir.Write(QStringLiteral("zero.txt"), "11\t2384\n13\t0\n15\t2391\n");
        dir.Write(QStringLiteral("missing.txt"), "11,2384\n13,2370\n99,2391\n");
        dir.Write(QStringLiteral("broken.txt"), "11;2384\n13;2370;7\n");
        dir.Write(QStringLiteral("header.ini"),
                  "[Header]\r\nOrganisation=Лаборатория № 3\r\nProject=Контракт 17\r\n"
                  "Operator=И. Петров\r\nLogo=logo.png\r\n");
        QImage logo(300, 100, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        logo.save(dir.File(QStringLiteral("logo.png")));
        dir.Write(QStringLiteral("notlogo.png"), "plain text");
    }

    Outcome Run(QStringList arguments) { return test::RunBatchIn(dir, locations, std::move(arguments)); }

    QString PdfText(const QString& name) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {dir.File(name), QStringLiteral("-")});
        EXPECT_TRUE(p.waitForFinished(30000));
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }
};

const QStringList kExport{"--export", "acceptance-pdf", "@lot.lum1", "@out.pdf", "--lang", "eng"};

TEST_F(AcceptanceCommandTest, BadInputsEndWithTheirCodeAndMessage) {
    struct Case {
        QStringList extra;
        int code;
        const char* message; // start of standard error
    };
    const Case cases[] = {
        {{"--rule", "median"}, BatchUsage, "Wrong value of --rule: median"},
        {{"--min-compaction", "abc"}, BatchUsage, "Wrong value of --min-compaction: abc"},
        {{"--min-compaction", "nan"}, BatchUsage, "Wrong value of --min-compaction: nan"},
        {{"--pwl-threshold", "120", "--rule", "pwl"}, BatchUsage, "Wrong value of --pwl-threshold: 120"},
        {{"--slope", "-1", "--intercept", "5"}, BatchUsage, "Wrong value of --slope: -1"},
        {{"--min-compaction", "0.99", "--max-compaction", "0.98"},
         BatchUsage,
         "Wrong value of --max-compaction"},
        {{"--rule", "mean"}, BatchUsage, "--rule mean needs --tolerance"},
        {{"--tolerance", "0.01"}, BatchUsage, "--tolerance needs --rule mean"},
        {{"--slope", "1.01"}, BatchUsage, "--slope needs --intercept"},
        {{"--fit", "line"}, BatchUsage, "--fit needs --cores"},
        {{"--offset", "5", "--cores", "@cores.csv"},
         BatchUsage,
         "--offset and --cores cannot be used together"},
        {{"--min-compaction", "0.98", "--min-density", "2300"},
         BatchUsage,
         "--min-compaction and --min-density cannot be used together"},
        {{"--offset", "5", "--offset", "6"}, BatchUsage, "Wrong arguments: --offset"},
        {{"--colour", "red"}, BatchUsage, "Wrong arguments: --colour"},
        {{"--cores"}, BatchUsage, "Wrong arguments: --cores"},
        {{"--cores", "@none.txt"}, BatchCantRead, "Can not open file"},
        {{"--header", "@none.ini"}, BatchCantRead, "Can not open file"},
        {{"--logo", "@none.png"}, BatchCantRead, "Cannot open the logo"},
        {{"--logo", "@notlogo.png"}, BatchAcceptanceRefused, "The acceptance report was not made:\nThe logo"},
        {{"--cores", "@broken.txt"},
         BatchAcceptanceRefused,
         "The acceptance report was not made:\nCores file"},
        {{"--cores", "@zero.txt"},
         BatchAcceptanceRefused,
         "The acceptance report was not made:\nPair 2 (record 13): the core density is 0"},
        {{"--cores", "@missing.txt"},
         BatchAcceptanceRefused,
         "The acceptance report was not made:\nPair 3: record 99 is not in the lot"},
        {{"--cores", "@outlier.txt"},
         BatchAcceptanceRefused,
         "The acceptance report was not made:\nPair 6 (record 16) is an outlier"},
        {{"--cores", "@cores.csv", "--fit", "line"},
         BatchAcceptanceRefused,
         "The acceptance report was not made:\nA line needs at least 5 pairs; usable pairs: 3"},
        {{"--rule", "pwl", "--min-density", "2300"}, BatchOk, ""},
    };
    for (const Case& c : cases) {
        const Outcome run = Run(kExport + c.extra);
        const QString line = c.extra.join(u' ');
        EXPECT_EQ(run.code, c.code) << line.toStdString() << ": " << run.err.toStdString();
        if (c.code == BatchOk) {
            EXPECT_TRUE(run.err.isEmpty()) << line.toStdString() << ": " << run.err.toStdString();
        } else {
            EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(c.message)))
                << line.toStdString() << ": " << run.err.toStdString();
            EXPECT_TRUE(run.out.isEmpty());
            EXPECT_FALSE(QFile::exists(dir.File("out.pdf"))) << line.toStdString();
        }
        QFile::remove(dir.File("out.pdf"));
    }
    // A lot without a usable density, and an output that cannot be written.
    const Outcome none = Run({"--export", "acceptance-pdf", "@unusable.lum1", "@out.pdf", "--lang", "eng"});
    EXPECT_EQ(none.code, BatchAcceptanceRefused);
    EXPECT_TRUE(none.err.contains("The lot has no valid density")) << none.err.toStdString();
    const Outcome unwritable = Run({"--export", "acceptance-pdf", "@lot.lum1", "@Language", "--lang", "eng"});
    EXPECT_EQ(unwritable.code, BatchCantWrite);
    EXPECT_TRUE(unwritable.err.startsWith("Cannot write the file")) << unwritable.err.toStdString();
    EXPECT_EQ(Run({"--export", "acceptance-pdf", "@lot.lum1", "@lot.lum1"}).code, BatchUsage);
    EXPECT_EQ(dir.Read("lot.lum1").size(), 6 * RecordSize);
}

TEST_F(AcceptanceCommandTest, TheReportItsVerdictAndTheCorrectionFromCores) {
    // Raw, the 0.979 fails the minimum of 0.98.
    Outcome raw = Run(kExport);
    EXPECT_EQ(raw.code, BatchOk) << raw.err.toStdString();
    EXPECT_EQ(raw.out, "LOT REJECTED: 1 of 6 judged points are outside the limits\n");
    QString text = PdfText("out.pdf");
    for (const char* e : {"Lot acceptance report", "LOT REJECTED", "lot", "Page 1 of 1", "Road M4", "below"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(e))) << e;

    // Corrected by the cores (offset +20 kg/m3) every point passes.
    Outcome corrected = Run(
        kExport + QStringList{"--cores", "@cores.csv", "--header", "@header.ini", "--lot", "km 14+000 [B]"});
    EXPECT_EQ(corrected.code, BatchOk) << corrected.err.toStdString();
    EXPECT_EQ(corrected.out, "LOT ACCEPTED: All 6 judged points are within the limits\n");
    text = PdfText("out.pdf");
    for (const char* e : {"Лаборатория № 3", "Контракт 17", "И. Петров", "km 14+000 [B]", "LOT ACCEPTED",
                          "offset +20.0 kg/m³ from 3 pairs"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(e))) << e << "\n" << text.toStdString();

    // The settings' minimum is the default; an option wins over it. In Russian, as the program was last used.
    dir.Write("lum1.ini", "[Config]\r\nLangId=Rus\r\n[LotStatistics]\r\nMinCompaction=0.975\r\n");
    Outcome settings = Run({"--export", "acceptance-pdf", "@lot.lum1", "@out.pdf"});
    EXPECT_EQ(settings.out, "ПАРТИЯ ПРИНЯТА: Все оцениваемые замеры (6) в пределах\n");
    EXPECT_TRUE(PdfText("out.pdf").contains("Страница 1 из 1"));
    Outcome option = Run({"--export", "acceptance-pdf", "@lot.lum1", "@out.pdf", "--min-compaction", "0,99"});
    EXPECT_TRUE(option.out.startsWith("ПАРТИЯ НЕ ПРИНЯТА")) << option.out.toStdString();

    // PWL and the mean rule name their numbers.
    Outcome pwl = Run(kExport + QStringList{"--rule", "pwl", "--pwl-threshold", "80"});
    EXPECT_TRUE(pwl.out.startsWith("LOT ACCEPTED: PWL ")) << pwl.out.toStdString();
    Outcome mean = Run(kExport + QStringList{"--rule", "mean", "--tolerance", "0.005"});
    EXPECT_EQ(mean.out, "LOT ACCEPTED: Mean 0.988; points beyond the tolerance: 0\n");
}

// An archive lot: its kept correlation and limits make the report, options replace them, and a
// correlation that no longer holds for the lot's records refuses the report rather than correct
// it wrongly.
TEST_F(AcceptanceCommandTest, AnArchiveLotIsJudgedByWhatTheArchiveKeepsForIt) {
    qint64 lot = 0;
    std::vector<qint64> ids;
    {
        // The records of lot.lum1 (11..16) downloaded, all in the lot "km 14".
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        const QByteArray bytes = dir.Read("lot.lum1");
        std::vector<TMeasRecord> records(6);
        std::memcpy(records.data(), bytes.constData(), 6 * RecordSize);
        ASSERT_TRUE(ArchiveDownload(archive, records, {}).Ok());
        TLot l;
        l.Name = QStringLiteral("km 14");
        l.Layer = QStringLiteral("binder");
        lot = CreateLot(archive, l).Id;
        for (const TArchiveRow& row : FetchRecords(archive, {}, {0, false}, 0, 100))
            ids.push_back(row.Id);
        ASSERT_TRUE(AssignToLot(archive, ids, lot).Ok());
        // Cores 20 above records 11, 13 and 15; the lot judged by the mean with a tolerance.
        const std::vector<TLotRecord> kept = AcceptanceLotRecords(archive, lot);
        std::vector<TCorePair> cores;
        for (const TLotRecord& r : kept)
            if (r.Key % 2)
                cores.push_back({r.Key, r.Record.Density + 20.0});
        const TCorrelationFit fit = FitCorrelation(kept, cores, TCorrelationKind::Offset);
        ASSERT_TRUE(fit.Ok());
        ASSERT_TRUE(ApplyLotCorrelation(archive, lot,
                                        KeepCorrelation(fit, QStringLiteral("June cores"), QStringLiteral("lab"),
                                                        QDateTime(QDate(2024, 6, 4), QTime(9, 0)), kept))
                        .Ok());
        TAcceptanceLimits limits;
        limits.Lower = 0.99;
        limits.Rule = TAcceptanceRule::MeanAndTolerance;
        limits.Tolerance = 0.01;
        ASSERT_TRUE(SetLotLimits(archive, lot, limits).Ok());
    }
    const QStringList lotExport{"--export", "acceptance-pdf", "--lot", "km 14", "@out.pdf", "--lang", "eng"};

    // Corrected by +20 kg/m3 the mean is 0.997, above the lot's own minimum of 0.99.
    const Outcome stored = Run(lotExport);
    EXPECT_EQ(stored.code, BatchOk) << stored.err.toStdString();
    EXPECT_EQ(stored.out, "LOT ACCEPTED: Mean 0.997; points beyond the tolerance: 0\n");
    const QString text = PdfText("out.pdf");
    for (const char* e : {"km 14", "binder", "June cores — lab, 2024-06-04 09:00: offset +20.0 kg/m³ from 3 pairs",
                          "Page 1 of 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(e))) << e << "\n" << text.toStdString();

    // Options replace what is kept: another rule, a given offset.
    EXPECT_TRUE(Run(lotExport + QStringList{"--rule", "every", "--min-compaction", "0.999"})
                    .out.startsWith("LOT REJECTED"));
    const Outcome raw = Run(lotExport + QStringList{"--offset", "0", "--min-compaction", "0.995"});
    EXPECT_TRUE(raw.out.startsWith("LOT REJECTED: Mean 0.988")) << raw.out.toStdString();

    struct Case {
        QStringList arguments;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{"--export", "acceptance-pdf", "--lot", "km 15", "@out.pdf", "--lang", "eng"},
         BatchNoRecords,
         "The archive has no lot named \"km 15\""},
        {lotExport + QStringList{"--pwl-threshold", "90"}, BatchUsage, "--pwl-threshold needs --rule pwl"},
        {lotExport + QStringList{"--max-compaction", "0.98"}, BatchUsage, "Wrong value of --max-compaction"},
        {{"--export", "acceptance-pdf", "--lot", "km 14", "@archive.sqlite", "--lang", "eng"},
         BatchUsage,
         "The output file"},
    };
    for (const Case& c : cases) {
        QFile::remove(dir.File("out.pdf"));
        const Outcome run = Run(c.arguments);
        EXPECT_EQ(run.code, c.code) << c.arguments.join(u' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.File("out.pdf")));
    }

    // Record 13, a pair of the correlation, taken out of the lot: the report is refused.
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        std::vector<qint64> thirteen;
        for (const TArchiveRow& row : LotRecords(archive, lot))
            if (row.Record.Number == 13)
                thirteen.push_back(row.Id);
        ASSERT_TRUE(AssignToLot(archive, thirteen, NoLot).Ok());
    }
    QFile::remove(dir.File("out.pdf"));
    const Outcome refused = Run(lotExport);
    EXPECT_EQ(refused.code, BatchAcceptanceRefused);
    EXPECT_TRUE(refused.err.contains("record 13 is not in the lot")) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.File("out.pdf")));
}

TEST_F(AcceptanceCommandTest, HelpNamesTheOptions) {
    const Outcome help = Run({"--help"});
    EXPECT_EQ(help.code, BatchOk);
    for (const char* o : {"acceptance-pdf", "--min-compaction", "--rule every|mean|pwl", "--cores", "--header",
                          "acceptance-pdf --lot LOT OUTPUT.pdf"})
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(o))) << o;
}

TEST(AcceptanceCommandCores, PairsFromASpreadsheetOrAText) {
    int bad = -1;
    const auto pairs =
        ParseCoresText("Record\tCore\n\n# a note\n7\t2380,5\n8;2391.25\n9, 2400\n10 2410\n11;#N/A\n", &bad);
    EXPECT_EQ(bad, 0);
    ASSERT_EQ(pairs.size(), 5u);
    EXPECT_EQ(pairs[0].Key, 7);
    EXPECT_EQ(pairs[0].Core, 2380.5);
    EXPECT_EQ(pairs[1].Core, 2391.25);
    EXPECT_EQ(pairs[2].Core, 2400.0);
    EXPECT_EQ(pairs[3].Key, 10);
    EXPECT_TRUE(std::isnan(pairs[4].Core)); // named by the correlation as "not a number"
    EXPECT_TRUE(ParseCoresText("7;2380\nx;2390\n", &bad).empty());
    EXPECT_EQ(bad, 2);
    EXPECT_TRUE(ParseCoresText("7\n", &bad).empty());
    EXPECT_EQ(bad, 1);
}

// The real program, with no display.
TEST(AcceptanceProgram, RunsWithoutADisplay) {
    test::TempDir dir;
    dir.Write(QStringLiteral("in.lum1"), test::RecordBytes(test::SampleRecord()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), dir.Path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUM1_PROGRAM), {"--export", "acceptance-pdf", dir.File("in.lum1"),
                                           dir.File("out.pdf"), "--lang", "eng", "--min-compaction", "0.97"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(p.readAllStandardOutput(), "LOT ACCEPTED: All 1 judged points are within the limits\n");
    EXPECT_TRUE(dir.Read(QStringLiteral("out.pdf")).startsWith("%PDF-"));
}

} // namespace
} // namespace lum1
