// The archive's command line in process: what it accepts, the import's lines and codes, and
// the export of what a filter or a lot holds through the formats of --export.
#include "ArchiveFixture.h"
#include "BatchRun.h"
#include "TempDir.h"

#include "app/FileLocations.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "archive/ArchiveSettings.h"
#include "cli/ArchiveCommands.h"
#include "cli/BatchExport.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

using Outcome = test::BatchOutcome;

class ArchiveCommandsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TFileLocations locations;

    void SetUp() override {
        locations.ProgramDir = locations.DataDir = locations.ArchiveDir = dir.Path();
        locations.SettingsPath = dir.File("lum1.ini");
        QDir().mkpath(dir.File("Language"));
        QDir().mkpath(dir.File("june/week2"));
        // Records 1..30 on roads 0..2 over the first days of June 2024, in overlapping files.
        dir.Write("june/a.lum1", test::FileBytes(test::MakeRecords(20, 1)));
        dir.Write("june/week2/b.LUM1", test::FileBytes(test::MakeRecords(20, 11)));
        dir.Write("june/notes.txt", "not a results file");
    }

    Outcome Run(QStringList arguments) { return test::RunBatchIn(dir, locations, std::move(arguments)); }
};

TEST_F(ArchiveCommandsTest, WrongCommandLinesAreRefused) {
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"--import"}, "Wrong arguments"},
        {{"--import", "@june", "--archive-export", "csv", "@x.csv"}, "Wrong arguments"},
        {{"--import", "@june", "--lot", "A"}, "Wrong arguments"},
        {{"--archive-export", "csv"}, "Wrong arguments"},
        {{"--archive-export", "doc", "@x.doc"}, "Unknown format: doc"},
        {{"--archive-export", "csv", "@x.csv", "--from", "2024-6-1"}, "Wrong date: 2024-6-1"},
        {{"--archive-export", "csv", "@x.csv", "--to", "2024-02-30"}, "Wrong date: 2024-02-30"},
        {{"--archive-export", "csv", "@x.csv", "--object"}, "Wrong arguments: --object"},
        {{"--archive-export", "csv", "@x.csv", "--lang", "deu"}, "Unknown language: deu"},
    };
    for (const Case& c : cases) {
        const Outcome run = Run(c.args);
        EXPECT_EQ(run.code, BatchUsage) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
    // Nothing was opened or created for them.
    EXPECT_FALSE(QFileInfo::exists(dir.File("archive.sqlite")));
    EXPECT_TRUE(Run({"--help"}).out.contains("--archive-export FORMAT OUTPUT"));
}

TEST_F(ArchiveCommandsTest, ImportTellsEachFileAndEndsWithItsCode) {
    Outcome run = Run({"--import", "@june", "--lang", "eng"});
    EXPECT_EQ(run.code, BatchOk) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], dir.File("june/a.lum1") + ": 20 records, 20 new, 0 already kept");
    EXPECT_EQ(lines[1], dir.File("june/week2/b.LUM1") + ": 20 records, 10 new, 10 already kept");
    EXPECT_EQ(lines[2], "Files imported: 2; 40 records, 30 new, 10 already kept");

    // Again, with a file that cannot be read: the others are imported, the code says so.
    run = Run({"--import", "@june/a.lum1", "@missing.lum1", "--lang", "rus"});
    EXPECT_EQ(run.code, BatchCantRead);
    EXPECT_TRUE(run.err.contains(dir.File("missing.lum1") + ": файл не удаётся прочитать"))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("записей 20, новых 0, уже были в архиве 20")) << run.out.toStdString();

    EXPECT_EQ(Run({"--import", "@june/week2/empty"}).code, BatchCantRead);

    // An archive that cannot be used.
    TIniFile ini(locations.SettingsPath);
    ini.WriteString(ArchiveSection, "Path", dir.File("june/a.lum1/archive.sqlite"));
    run = Run({"--import", "@june"});
    EXPECT_EQ(run.code, ArchiveUnusable);
    EXPECT_TRUE(run.err.startsWith("Cannot create the archive")) << run.err.toStdString();
}

TEST_F(ArchiveCommandsTest, ExportWritesWhatTheConditionsLetThrough) {
    ASSERT_EQ(Run({"--import", "@june"}).code, BatchOk);
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        TLot lot;
        lot.Name = "North, layer 2";
        const qint64 id = CreateLot(archive, lot).Id;
        std::vector<qint64> ids;
        for (const TArchiveRow& row : FetchRecords(archive, {}, {0, false}, 0, 3))
            ids.push_back(row.Id); // records 1, 2, 3
        ASSERT_EQ(AssignToLot(archive, ids, id).Assigned, 3);
    }
    auto numbers = [this](const QString& csv) {
        // The report's rows begin with the record's number in the first column.
        QStringList found;
        for (const QString& line : QString::fromUtf8(dir.Read(csv)).split('\n'))
            if (line.contains("Road "))
                found << line.section(';', 0, 0).remove('"').trimmed();
        return found;
    };
    Outcome run = Run({"--archive-export", "csv", "@lot.csv", "--lot", "North, layer 2", "--lang", "eng"});
    ASSERT_EQ(run.code, BatchOk) << run.err.toStdString();
    EXPECT_EQ(numbers("lot.csv"), (QStringList{"1", "2", "3"}));

    // Road 1 holds records 1, 4, 7, ...; records 1..30 fall between 00:01 and 00:30 of 1 June.
    run = Run({"--archive-export", "csv", "@road.csv", "--object", "road 1", "--from", "2024-06-01", "--to",
               "2024-06-01"});
    ASSERT_EQ(run.code, BatchOk) << run.err.toStdString();
    EXPECT_EQ(numbers("road.csv"), (QStringList{"1", "4", "7", "10", "13", "16", "19", "22", "25", "28"}));
    run = Run({"--archive-export", "xlsx", "@all.xlsx"});
    EXPECT_EQ(run.code, BatchOk);
    EXPECT_TRUE(dir.Read("all.xlsx").startsWith("PK"));

    const struct {
        QStringList args;
        int code;
        const char* message;
    } refused[] = {
        {{"--archive-export", "csv", "@x.csv", "--from", "2024-07-01"},
         BatchNoRecords,
         "No archived record matches"},
        {{"--archive-export", "csv", "@x.csv", "--lot", "South"},
         BatchNoRecords,
         "The archive has no lot named \"South\""},
        {{"--archive-export", "kml", "@x.kml"}, BatchNoPosition, "No measurement has a position"},
    };
    for (const auto& c : refused) {
        run = Run(c.args);
        EXPECT_EQ(run.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.File("x.csv")));
    }

    // More than the table holds.
    dir.Write("many.lum1", test::FileBytes(test::MakeRecords(MaxRecords + 1, 1000)));
    ASSERT_EQ(Run({"--import", "@many.lum1"}).code, BatchOk);
    run = Run({"--archive-export", "pdf", "@x.pdf"});
    EXPECT_EQ(run.code, ArchiveTooMany);
    EXPECT_TRUE(
        run.err.startsWith(QString("%1 records match; an export takes at most 2500").arg(MaxRecords + 31)))
        << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.File("x.pdf")));
}

} // namespace
} // namespace lum1
