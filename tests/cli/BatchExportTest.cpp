// The batch command line: its arguments, the exit code and message of each bad input, the
// exports it writes, and the real program run without a display.
#include "LibreOffice.h"
#include "QtPrinters.h"
#include "RecordFixture.h"
#include "BatchRun.h"
#include "TempDir.h"

#include "app/FileLocations.h"
#include "cli/BatchExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace lum1 {
namespace {

// A folder without write bits for the life of a test.
struct ReadOnlyFolder {
    QString path;
    explicit ReadOnlyFolder(QString p) : path(std::move(p)) {
        QDir().mkpath(path);
        test::SetReadOnly(path, true);
    }
    ~ReadOnlyFolder() { test::SetReadOnly(path, false); }
};

using Outcome = test::BatchOutcome;

class BatchTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TFileLocations locations;

    void SetUp() override {
        locations.ProgramDir = dir.Path();
        locations.DataDir = dir.Path();
        locations.SettingsPath = dir.File(QStringLiteral("lum1.ini"));
        QDir().mkpath(dir.File(QStringLiteral("Language")));
        QByteArray records;
        for (int i = 1; i <= 3; ++i) {
            TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i));
            r.Latitude = i == 2 ? (5509 << 16) : 0;
            r.Longitude = i == 2 ? -(3730 << 16) : 0;
            records += test::RecordBytes(r);
        }
        dir.Write(QStringLiteral("in.lum1"), records);
        dir.Write(QStringLiteral("nopos.lum1"), test::RecordBytes(test::SampleRecord()));
        dir.Write(QStringLiteral("empty.lum1"), QByteArray(89, '\0')); // shorter than one record
    }

    Outcome Batch(QStringList arguments) { return test::RunBatchIn(dir, locations, std::move(arguments)); }
};

TEST_F(BatchTest, WhichArgumentsAreBatchWork) {
    auto batch = [](const char* line) { return IsBatchCommandLine(QString::fromLatin1(line).split(u' ')); };
    EXPECT_FALSE(batch("lum1 results.lum1")); // the window, opening the file
    EXPECT_FALSE(batch("lum1"));
    EXPECT_TRUE(batch("lum1 --export pdf a.lum1 b.pdf"));
    EXPECT_TRUE(batch("lum1 --help"));
    EXPECT_TRUE(batch("lum1 --version"));
    EXPECT_TRUE(batch("lum1 results.lum1 --lang rus"));
}

TEST_F(BatchTest, BadInputsEndWithTheirCodeAndMessage) {
    dir.Write(QStringLiteral("existing.kml"), "earlier");
    ReadOnlyFolder readOnly(dir.File(QStringLiteral("ro")));
    struct Case {
        QStringList args;
        int code;
        const char* message; // start of the first line of standard error
    };
    const Case cases[] = {
        {{"--export"}, BatchUsage, "Wrong arguments"},
        {{"--export", "pdf", "@in.lum1"}, BatchUsage, "Wrong arguments"},
        {{"--export", "pdf", "@in.lum1", "@a", "@b"}, BatchUsage, "Wrong arguments"},
        {{"--export", "doc", "@in.lum1", "@out.doc"}, BatchUsage, "Unknown format: doc"},
        {{"--export", "pdf", "@in.lum1", "@out.pdf", "--lang", "deu"}, BatchUsage, "Unknown language: deu"},
        {{"--export", "pdf", "@in.lum1", "@out.pdf", "--lang"}, BatchUsage, "Wrong arguments: --lang"},
        {{"--export", "pdf", "@in.lum1", "@out.pdf", "--fast"}, BatchUsage, "Wrong arguments: --fast"},
        {{"--lang", "eng"}, BatchUsage, "Wrong arguments"},
        {{"--export", "csv", "@in.lum1", "@in.lum1"}, BatchUsage, "The output file is the input file"},
        {{"--export", "pdf", "@missing.lum1", "@out.pdf"}, BatchCantRead, "Can not open file"},
        {{"--export", "pdf", "@Language", "@out.pdf"}, BatchCantRead, "Can not open file"},
        {{"--export", "xlsx", "@empty.lum1", "@out.xlsx"}, BatchNoRecords, "The file"},
        {{"--export", "pdf", "@empty.lum1", "@out.pdf"}, BatchNoRecords, "The file"},
        {{"--export", "kml", "@nopos.lum1", "@out.kml"}, BatchNoPosition, "No measurement has a position"},
        {{"--export", "pdf", "@in.lum1", "@ro/out.pdf"}, BatchCantWrite, "Cannot write the file"},
        {{"--export", "xlsx", "@in.lum1", "@ro/out.xlsx"}, BatchCantWrite, "Cannot write the file"},
        {{"--export", "geojson", "@in.lum1", "@Language"}, BatchCantWrite, "Cannot write the file"},
        {{"--export", "xlsx", "@in.lum1", "@out.xlsx", "--min-compaction"},
         BatchUsage,
         "Wrong arguments: --min-compaction"},
        {{"--export", "xlsx", "@in.lum1", "@out.xlsx", "--min-compaction", "high"},
         BatchUsage,
         "Wrong minimum compaction factor: high (a number from 0 to 2"},
        {{"--export", "xlsx", "@in.lum1", "@out.xlsx", "--min-compaction", "2.5"},
         BatchUsage,
         "Wrong minimum compaction factor: 2.5"},
        {{"--export", "xlsx", "@in.lum1", "@out.xlsx", "--min-compaction", "nan"},
         BatchUsage,
         "Wrong minimum compaction factor: nan"},
    };
    for (const Case& c : cases) {
        const Outcome run = Batch(c.args);
        const QString line = c.args.join(u' ');
        EXPECT_EQ(run.code, c.code) << line.toStdString();
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(c.message)))
            << line.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    // Nothing was left under any of the refused names.
    for (const char* name :
         {"out.pdf", "out.xlsx", "out.kml", "out.doc", "a", "b", "ro/out.pdf", "ro/out.xlsx"})
        EXPECT_FALSE(QFile::exists(dir.File(QString::fromLatin1(name)))) << name;
    EXPECT_EQ(dir.Read(QStringLiteral("in.lum1")).size(), 3 * RecordSize);
}

TEST_F(BatchTest, MessagesInTheChosenLanguage) {
    Outcome run = Batch({"--export", "pdf", "@missing.lum1", "@out.pdf", "--lang", "rus"});
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Не могу открыть файл"))) << run.err.toStdString();
    // Without --lang: the language the program was last used in.
    dir.Write(QStringLiteral("lum1.ini"), "[Config]\r\nLangId=Rus\r\n");
    run = Batch({"--help"});
    EXPECT_EQ(run.code, BatchOk);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Использование: lum1"))) << run.out.toStdString();
    // A batch run never writes the language files.
    EXPECT_TRUE(QDir(dir.File(QStringLiteral("Language"))).isEmpty());
}

TEST_F(BatchTest, EveryFormatWritten) {
    const std::pair<const char*, QByteArray> formats[] = {{"pdf", "%PDF-"}, {"csv", ""},    {"txt", ""},
                                                          {"html", "<"},    {"xlsx", "PK"}, {"kml", "<?xml"},
                                                          {"geojson", "{"}};
    for (const auto& [format, head] : formats) {
        const QString name = QStringLiteral("out.") + QString::fromLatin1(format);
        const Outcome run = Batch(
            {"--export", QString::fromLatin1(format).toUpper(), "@in.lum1", "@" + name, "--lang", "eng"});
        EXPECT_EQ(run.code, BatchOk) << format << run.err.toStdString();
        const QByteArray bytes = dir.Read(name);
        EXPECT_TRUE(bytes.startsWith(head)) << format;
        if (QByteArray(format) == "csv" || QByteArray(format) == "txt") {
            EXPECT_TRUE(bytes.contains("Measured debsity values")) << format;
        }
    }
}

// The minimum compaction factor of the statistics sheet: the option, else the window's setting,
// else 0.98. The three records' compaction factor is 0.980.
TEST_F(BatchTest, StatisticsJudgeByTheUsersMinimumUnlessTheOptionSaysOtherwise) {
    struct Case {
        const char* settings;
        QStringList options;
        const char* minimum;
        const char* below;
    };
    const Case cases[] = {
        {"", {}, "0.98", "0"},
        {"[LotStatistics]\r\nMinCompaction=0.990\r\n", {}, "0.99", "3"},
        {"[LotStatistics]\r\nMinCompaction=0.990\r\n", {"--min-compaction", "0.95"}, "0.95", "0"},
        {"", {"--min-compaction", "0,985"}, "0.985", "3"},
        {"[LotStatistics]\r\nMinCompaction=7\r\n", {}, "0.98", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings + c.options.join(u' ').toStdString());
        dir.Write(QStringLiteral("lum1.ini"), c.settings);
        const Outcome run = Batch(QStringList{"--export", "xlsx", "@in.lum1", "@out.xlsx"} + c.options);
        ASSERT_EQ(run.code, BatchOk) << run.err.toStdString();
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"),
                    {QStringLiteral("-p"), dir.File("out.xlsx"), "xl/worksheets/sheet2.xml"});
        ASSERT_TRUE(unzip.waitForFinished(10000));
        const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
        auto value = [&sheet](const char* cell) {
            const QRegularExpression re(
                QStringLiteral("<c r=\"%1\"[^>]*><v>([^<]*)</v>").arg(QLatin1String(cell)));
            return re.match(sheet).captured(1);
        };
        EXPECT_EQ(value("B8"), QString::fromLatin1(c.minimum));
        EXPECT_EQ(value("B9"), QString::fromLatin1(c.below));
    }
}

TEST_F(BatchTest, HelpNamesEveryOption) {
    const Outcome run = Batch({"--help"});
    EXPECT_EQ(run.code, BatchOk);
    for (const char* option : {"--export", "--lang", "--min-compaction", "--version"})
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(option))) << option;
}

QByteArray RunReader(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(120000)) << program.toStdString();
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAll();
}

// Raw bytes of a gauge text field: the length byte, then the bytes as they came.
void SetRawText(uint8_t (&field)[22], const QByteArray& bytes) {
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<uint8_t>(bytes.size());
    std::memcpy(field + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Control bytes, impossible dates and times, NaN and infinity in every field: each export is a
// file its format's readers accept.
TEST_F(BatchTest, HostileRecordsGiveFilesThatOtherProgramsRead) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    QByteArray records;
    for (int i = 0; i < 4; ++i) {
        TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i + 1));
        SetRawText(r.ObjectName, QByteArray("A\x01<b>&\x0b]]>\x1f", 11));
        SetRawText(r.MaterialName, QByteArray("\x98\x7f\x00x\xcc", 5));
        r.Latitude = (5509 << 16) | (i * 1000);
        r.Longitude = -(3730 << 16);
        r.Thickness = 255;
        r.AverNum = 255;
        records += test::RecordBytes(r);
    }
    auto set = [&records](int i, auto change) {
        TMeasRecord r;
        std::memcpy(&r, records.constData() + i * RecordSize, RecordSize);
        change(r);
        records.replace(i * RecordSize, RecordSize, test::RecordBytes(r));
    };
    set(0, [&](TMeasRecord& r) {
        r.Density = nan;
        r.RefDensity = inf;
        r.Temperature = -inf;
        r.Year = 255;
    });
    set(1, [&](TMeasRecord& r) {
        r.Density = inf;
        r.RefDensity = 0;
        r.Temperature = nan;
        r.Month = 13;
        r.Hours = 25;
    });
    set(2, [&](TMeasRecord& r) {
        r.Density = 3.4e38f;
        r.RefDensity = 1e-38f;
        r.Day = 0;
        r.Minutes = 99;
    });
    set(3, [&](TMeasRecord& r) {
        r.Mode = 2;
        r.Density = -inf;
        r.Seconds = 61;
    });
    dir.Write(QStringLiteral("hostile.lum1"), records);

    for (const char* format : {"pdf", "csv", "txt", "html", "xlsx", "kml", "geojson"}) {
        SCOPED_TRACE(format);
        const QString out = dir.File(QStringLiteral("hostile.") + QString::fromLatin1(format));
        const Outcome run = Batch({"--export", format, "@hostile.lum1", out, "--lang", "rus"});
        ASSERT_EQ(run.code, BatchOk) << run.err.toStdString();
        const QByteArray bytes = dir.Read(QFileInfo(out).fileName());
        int code = 0;
        const QString f = QString::fromLatin1(format);
        if (f == u"pdf") {
            const QByteArray check =
                RunReader(QStringLiteral("qpdf"), {QStringLiteral("--check"), out}, &code);
            EXPECT_EQ(code, 0) << check.toStdString();
        } else if (f == u"xlsx") {
            QString error;
            const auto sheets = test::ReadWithLibreOffice(out, dir.Path(), &error);
            ASSERT_EQ(sheets.size(), 2u) << error.toStdString();
            EXPECT_EQ(sheets.begin()->second.size(), 5) << error.toStdString();
        } else if (f == u"kml" || f == u"geojson") {
            const QByteArray info = RunReader(QStringLiteral("ogrinfo"), {"-ro", "-al", "-so", out}, &code);
            EXPECT_EQ(code, 0) << info.toStdString();
            EXPECT_TRUE(info.contains("Feature Count: 4")) << info.toStdString();
        } else {
            // Text formats: UTF-8 throughout; no control character but the line ends (and the
            // HTML's own layout).
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString text = utf8(bytes);
            EXPECT_FALSE(utf8.hasError());
            EXPECT_FALSE(text.contains(
                QRegularExpression(QStringLiteral("[\\x00-\\x09\\x0b\\x0c\\x0e-\\x1f\\x7f-\\x9f]"))));
        }
    }
}

// The real program, with no display at all.
TEST(BatchProgram, RunsWithoutADisplay) {
    test::TempDir dir;
    dir.Write(QStringLiteral("in.lum1"), test::RecordBytes(test::SampleRecord()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), dir.Path());
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LUM1_PROGRAM), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(), p.readAllStandardError());
    };
    const auto [ok, okErr] = run({"--export", "pdf", dir.File("in.lum1"), dir.File("out.pdf")});
    EXPECT_EQ(ok, 0) << okErr.toStdString();
    EXPECT_TRUE(okErr.isEmpty()) << okErr.toStdString();
    EXPECT_TRUE(dir.Read(QStringLiteral("out.pdf")).startsWith("%PDF-"));
    const auto [bad, badErr] =
        run({"--export", "pdf", dir.File("none.lum1"), dir.File("x.pdf"), "--lang", "eng"});
    EXPECT_EQ(bad, BatchCantRead);
    EXPECT_TRUE(badErr.startsWith("Can not open file")) << badErr.toStdString();
}

// The real program on a Russian desktop: the workbook's numbers are numbers to another program.
TEST(BatchProgram, AWorkbookWrittenOnARussianDesktopReadsBackInLibreOffice) {
    test::TempDir dir;
    TMeasRecord r = test::SampleRecord();
    r.Latitude = (5509 << 16) | 32768;
    r.Longitude = -(3730 << 16);
    dir.Write(QStringLiteral("in.lum1"), test::RecordBytes(r));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    env.insert(QStringLiteral("HOME"), dir.Path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUM1_PROGRAM),
            {"--export", "xlsx", dir.File("in.lum1"), dir.File("out.xlsx"), "--lang", "rus"});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    QString error;
    const auto sheets = test::ReadWithLibreOffice(dir.File("out.xlsx"), dir.Path(), &error);
    ASSERT_EQ(sheets.size(), 2u) << error.toStdString();
    const test::CsvRows& results = sheets.at(QStringLiteral("Результаты"));
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(results[1], QStringList({"1", "2019-05-05 14:05:09", "2352", "0.980", "2.0", "23.5", "Road M4",
                                       "55.15833333", "-37.50000000", "Асфальт", "40", "3"}));
}

} // namespace
} // namespace lum1
