// Where the files live: a writable program folder keeps everything (a portable copy); a
// read-only one sends what the program writes to the user's XDG folders.
#include "app/FileLocations.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

class FileLocationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(dir.Path()).mkpath("app/Language");
        QDir(dir.Path()).mkpath("home");
        dir.Write("app/lum1", "");
        dir.Write("app/Language/English.ini", "[Messages]\r\nTitle=shipped\r\n");
        dir.Write("app/Language/English.frc", "[Resources]\r\n");
        dir.Write("not-a-folder", "");
    }
    void TearDown() override { test::SetReadOnly(dir.File("app"), false); }
    QProcessEnvironment Env(std::initializer_list<std::pair<const char*, QString>> vars) const {
        QProcessEnvironment env;
        env.insert("HOME", dir.File("home"));
        for (const auto& [name, value] : vars)
            env.insert(name, value);
        return env;
    }

    test::TempDir dir;
};

TEST_F(FileLocationsTest, AWritableProgramFolderKeepsEverything) {
    const TFileLocations l = TFileLocations::Decide(dir.File("app/lum1"), Env({}));
    EXPECT_TRUE(l.Portable);
    EXPECT_EQ(l.SettingsPath, dir.File("app/lum1.ini"));
    for (const QString& folder :
         {l.ProgramDir, l.DataDir, l.LogDir, l.PicturesDir, l.ResultsDir, l.ArchiveDir})
        EXPECT_EQ(folder, dir.File("app"));
    l.CopyShippedFiles();
    EXPECT_FALSE(QDir(dir.File("home/.config")).exists());
}

TEST_F(FileLocationsTest, AReadOnlyProgramFolderUsesTheUsersFoldersByTheXdgRules) {
    test::SetReadOnly(dir.File("app"), true);
    struct Case {
        const char* what;
        QProcessEnvironment env;
        QString config, state, data;
    };
    const std::vector<Case> cases = {
        {"unset: the defaults", Env({}), dir.File("home/.config/lum1"), dir.File("home/.local/state/lum1"),
         dir.File("home/.local/share/lum1")},
        {"set",
         Env({{"XDG_CONFIG_HOME", dir.File("cfg")},
              {"XDG_STATE_HOME", dir.File("st")},
              {"XDG_DATA_HOME", dir.File("dt")}}),
         dir.File("cfg/lum1"), dir.File("st/lum1"), dir.File("dt/lum1")},
        {"relative: ignored",
         Env({{"XDG_CONFIG_HOME", "cfg"}, {"XDG_STATE_HOME", "st"}, {"XDG_DATA_HOME", "dt"}}),
         dir.File("home/.config/lum1"), dir.File("home/.local/state/lum1"),
         dir.File("home/.local/share/lum1")},
        {"cannot be created: the defaults",
         Env({{"XDG_CONFIG_HOME", dir.File("not-a-folder/cfg")},
              {"XDG_STATE_HOME", dir.File("not-a-folder/st")},
              {"XDG_DATA_HOME", dir.File("not-a-folder/dt")}}),
         dir.File("home/.config/lum1"), dir.File("home/.local/state/lum1"),
         dir.File("home/.local/share/lum1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TFileLocations l = TFileLocations::Decide(dir.File("app/lum1"), c.env);
        EXPECT_FALSE(l.Portable);
        EXPECT_EQ(l.ProgramDir, dir.File("app"));
        EXPECT_EQ(l.DataDir, c.config);
        EXPECT_EQ(l.SettingsPath, c.config + "/lum1.ini");
        EXPECT_EQ(l.LogDir, c.state);
        EXPECT_EQ(l.ArchiveDir, c.data);
        EXPECT_TRUE(QDir(c.config).exists());
        EXPECT_TRUE(QDir(c.state).exists());
        EXPECT_TRUE(QDir(c.data).exists());
    }

    // The shipped files are copied on first use, never over the user's own.
    const TFileLocations l = TFileLocations::Decide(dir.File("app/lum1"), Env({}));
    QDir().mkpath(l.DataDir + "/Language");
    dir.Write("home/.config/lum1/Language/English.frc", "[Resources]\r\nmine=1\r\n");
    l.CopyShippedFiles();
    EXPECT_EQ(dir.Read("home/.config/lum1/Language/English.ini"), "[Messages]\r\nTitle=shipped\r\n");
    EXPECT_EQ(dir.Read("home/.config/lum1/Language/English.frc"), "[Resources]\r\nmine=1\r\n");
    EXPECT_TRUE(QFileInfo(dir.File("home/.config/lum1/Language/English.ini")).isWritable());
    EXPECT_EQ(l.Describe().size(), 6);
}

} // namespace
} // namespace lum1
