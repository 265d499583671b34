#include "platform/IniFile.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace lum1 {
namespace {

struct ReadCase {
    const char* file;
    const char* section;
    const char* key;
    const char* expected;
};

TEST(IniFile, ReadsValuesWithProfileSemantics) {
    const ReadCase cases[] = {
        {"[Messages]\r\nOpen=Open file...\r\n", "Messages", "Open", "Open file..."},
        {"[messages]\r\nOPEN=x\r\n", "MESSAGES", "open", "x"},                       // names ignore case
        {"[ Messages ]\r\n  Open  =   spaced out   \r\n", "Messages", "Open", "spaced out"},
        {"[M]\r\nk=\" - deleted\"\r\n", "M", "k", " - deleted"},                       // quotes stripped
        {"[M]\r\nk='single'\r\n", "M", "k", "single"},
        {"[M]\r\nk=\"mismatched'\r\n", "M", "k", "\"mismatched'"},                     // only a matching pair
        {"[M]\r\nk=\"\r\n", "M", "k", "\""},                                           // a lone quote stays
        {"[M]\nk=unix line ends\n", "M", "k", "unix line ends"},
        {"[M]\r\nk=a=b\r\n", "M", "k", "a=b"},                                         // first '=' splits
        {"[M]\r\nk=first\r\nk=second\r\n", "M", "k", "first"},
        {"[A]\r\nk=a\r\n[B]\r\nk=b\r\n", "B", "k", "b"},
        {"[A]\r\nk=a\r\n", "B", "k", "<def>"},                                         // missing section
        {"[A]\r\nother=a\r\n", "A", "k", "<def>"},                                     // missing key
        {"k=outside\r\n[A]\r\n", "A", "k", "<def>"},                                   // key before any section
        {"garbage\r\n[A\r\n]]]\r\n[A]\r\nnonsense line\r\nk=v\r\n", "A", "k", "v"},
        {"[A]\r\nk=\xff\xfe\xd0\r\n", "A", "k", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}, // bad UTF-8 decodes
        {"", "A", "k", "<def>"},
    };
    for (const ReadCase& c : cases) {
        test::TempDir dir;
        dir.Write("a.ini", c.file);
        TIniFile ini(dir.File("a.ini"));
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), QString::fromUtf8(c.expected)) << c.file;
    }
}

TEST(IniFile, ValuesAreCutAt2047Characters) {
    test::TempDir dir;
    dir.Write("a.ini", "[A]\r\nk=" + QByteArray(5000, 'x') + "\r\n");
    EXPECT_EQ(TIniFile(dir.File("a.ini")).ReadString("A", "k", "").size(), 2047);
}

TEST(IniFile, MissingFileReadsDefaults) {
    test::TempDir dir;
    TIniFile ini(dir.File("none.ini"));
    EXPECT_EQ(ini.ReadString("A", "k", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("A", "k", 7), 7);
    EXPECT_TRUE(ini.ReadBool("A", "k", true));
}

TEST(IniFile, ParsesIntegersLikeTheProfileFunctions) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},          {"-30", -30},         {"+5", 5},           {"0x1F", 31},
        {"0X1f", 31},        {"$FF", 255},         {"$FFFFFFFF", -1},   {"-$10", -16},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", -99}, {"99999999999999999999", -99}, {"0x100000000", -99},
        {"12abc", -99},      {"", -99},            {"0x", -99},         {"$", -99},
        {"1 2", -99},        {"1.5", -99},         {"--1", -99},        {"0xG", -99},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseIniInteger(c.text, -99), c.expected) << c.text;
}

TEST(IniFile, BooleansAreIntegers) {
    test::TempDir dir;
    dir.Write("a.ini", "[D]\r\nzero=0\r\none=1\r\nminus=-4\r\nword=yes\r\n");
    TIniFile ini(dir.File("a.ini"));
    EXPECT_FALSE(ini.ReadBool("D", "zero", true));
    EXPECT_TRUE(ini.ReadBool("D", "one", false));
    EXPECT_TRUE(ini.ReadBool("D", "minus", false));
    EXPECT_FALSE(ini.ReadBool("D", "word", false)); // unreadable: the default
    EXPECT_TRUE(ini.ReadBool("D", "word", true));
}

TEST(IniFile, WriteChangesInPlaceAndKeepsEveryOtherLine) {
    test::TempDir dir;
    dir.Write("a.ini",
              "; hand-written note\r\n[Config]\r\nLangId=Rus\r\nmy own line\r\nUses=3\r\n\r\n"
              "[Other]\nkeep=me\n");
    TIniFile ini(dir.File("a.ini"));
    ini.WriteString("config", "langid", "Eng"); // existing key, other case
    ini.WriteInteger("Config", "Width", 800);  // new key: end of its section
    ini.WriteString("New", "k", "v");          // new section at the end
    EXPECT_EQ(dir.Read("a.ini"),
              QByteArray("; hand-written note\r\n[Config]\r\nlangid=Eng\r\nmy own line\r\nUses=3\r\n"
                         "Width=800\r\n\r\n[Other]\nkeep=me\n[New]\r\nk=v\r\n"));
    EXPECT_EQ(ini.ReadInteger("Config", "Width", 0), 800);
}

TEST(IniFile, WriteCreatesFileAndAppendsAfterUnterminatedLastLine) {
    test::TempDir dir;
    TIniFile ini(dir.File("new.ini"));
    ini.WriteString("Messages", "Open", "Открыть файл...");
    EXPECT_EQ(dir.Read("new.ini"), QByteArray("[Messages]\r\nOpen=Открыть файл...\r\n"));
    dir.Write("b.ini", "[A]\r\nx=1");
    TIniFile b(dir.File("b.ini"));
    b.WriteString("A", "y", "2");
    EXPECT_EQ(dir.Read("b.ini"), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
}

TEST(IniFile, ValuesWithLineBreaksCannotBreakTheFile) {
    test::TempDir dir;
    TIniFile ini(dir.File("a.ini"));
    ini.WriteString("A", "k", "one\r\n[Evil]\nx=1");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "one  [Evil] x=1");
    EXPECT_EQ(ini.ReadString("Evil", "x", "none"), "none");
}

TEST(IniFile, FailedWriteThrowsAndLeavesTheFileAlone) {
    test::TempDir dir;
    dir.Write("ro.ini", "[A]\r\nk=old\r\n");
    test::SetReadOnly(dir.File("ro.ini"), true);
    TIniFile ro(dir.File("ro.ini"));
    try {
        ro.WriteString("A", "k", "new");
        FAIL() << "no error";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "Unable to write to " + dir.File("ro.ini"));
    }
    EXPECT_EQ(dir.Read("ro.ini"), QByteArray("[A]\r\nk=old\r\n"));

    test::SetReadOnly(dir.Path(), true);
    TIniFile inRoFolder(dir.File("other.ini"));
    EXPECT_THROW(inRoFolder.WriteInteger("A", "k", 1), EIniWriteError);
    test::SetReadOnly(dir.Path(), false);

    TIniFile missingFolder(dir.File("no/such/folder.ini"));
    EXPECT_THROW(missingFolder.WriteInteger("A", "k", 1), EIniWriteError);
}

TEST(IniFile, WriteCutShortByAFullDiskKeepsTheOldFile) {
    test::TempDir dir;
    const QByteArray earlier = "[A]\r\nk=old\r\n";
    dir.Write("a.ini", earlier);
    TIniFile ini(dir.File("a.ini"));
    std::vector<std::pair<QString, QString>> many;
    for (int i = 0; i < 100; ++i)
        many.emplace_back(QStringLiteral("key%1").arg(i), QString(40, u'x'));
    // A file size limit makes the write fail part-way, as a full disk does.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool threw = false;
    try {
        ini.WriteStrings("A", many);
    } catch (const EIniWriteError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(dir.Read("a.ini"), earlier);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST(IniFile, BatchWriteKeepsOrderAndExistingValues) {
    test::TempDir dir;
    dir.Write("l.ini", "[Messages]\r\nB=user text\r\nUserKey=kept\r\n");
    TIniFile ini(dir.File("l.ini"));
    ini.WriteStrings("Messages", {{"A", "1"}, {"B", "2"}, {"C", "3"}});
    EXPECT_EQ(dir.Read("l.ini"), QByteArray("[Messages]\r\nB=2\r\nUserKey=kept\r\nA=1\r\nC=3\r\n"));
}

} // namespace
} // namespace lum1
