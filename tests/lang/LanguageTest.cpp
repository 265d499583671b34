#include "lang/Language.h"
#include "lang/MessageTable.h"
#include "platform/IniFile.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

class LanguageFiles : public ::testing::Test {
protected:
    void SetUp() override { QDir(dir.Path()).mkdir("Language"); }
    QByteArray Russian() const { return dir.Read("Language/Russian.ini"); }
    QByteArray English() const { return dir.Read("Language/English.ini"); }
    test::TempDir dir;
    TLanguage lang{dir.Path()};
};

// Keys of a file in the order they stand.
QStringList KeysOf(const QByteArray& file) {
    QStringList keys;
    for (const QByteArray& line : file.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys << QString::fromUtf8(line.left(eq));
    }
    return keys;
}

TEST_F(LanguageFiles, FirstLookupWritesBothFilesInTableOrder) {
    lang.Select(false);
    EXPECT_EQ(lang.GetLangMessage("Open"), "Открыть файл...");
    QStringList tableKeys;
    for (const MessageRow& row : MessageTable)
        tableKeys << row.key.toString();
    EXPECT_EQ(tableKeys.size(), 113);
    EXPECT_EQ(KeysOf(Russian()), tableKeys);
    EXPECT_EQ(KeysOf(English()), tableKeys);
    EXPECT_TRUE(Russian().startsWith("[Messages]\r\nAbout=О программе\r\nTitle=ЛУМ-1.2. Плотномер асфальта\r\n"));
    EXPECT_TRUE(English().contains("\r\nMesDel= - deleted\r\n"));
    lang.Select(true);
    EXPECT_EQ(lang.GetLangMessage("Open"), "Open file...");
    EXPECT_EQ(lang.GetLangMessage("Title"), "LUM-1.2. Asphalt densitometer");
}

TEST_F(LanguageFiles, ValuesComeBackTrimmedAndQuotesInsideStay) {
    const struct {
        const char* key;
        const char* russian;
        const char* english;
    } cases[] = {
        {"MesDel", "- удалена", "- deleted"},
        {"MesFileSaved", "сохранен (записей:", "saved (records:"},
        {"MesReadedFromDisc", "Считано с диска записей:", "Readed records from disk:"},
        {"USBEEPROMReaded", "EEPROM-память прибора считана в файл \"EEPROM.bin\"",
         "EEPROM-memory of the device is read to file \"EEPROM.bin\""},
        {"KgM3html", "кг/м<sup>3<sup>", "kg/m<sup>3<sup>"},
        {"Lang", "Язык (Language)", "Language (Язык)"},
    };
    for (const auto& c : cases) {
        lang.Select(false);
        EXPECT_EQ(lang.GetLangMessage(c.key), QString::fromUtf8(c.russian));
        lang.Select(true);
        EXPECT_EQ(lang.GetLangMessage(c.key), QString::fromUtf8(c.english));
    }
}

TEST_F(LanguageFiles, MissingKeyRewritesBothFilesKeepingUserAdditions) {
    lang.Select(true);
    lang.GetLangMessage("Open");
    TIniFile en(lang.EnglishFilePath());
    en.WriteString("Messages", "Exit", "Quit now");        // a user's change to a table key
    en.WriteString("Messages", "MyNote", "mine");          // a user's own key
    en.WriteString("Extra", "k", "v");                     // and section
    EXPECT_EQ(lang.GetLangMessage("Exit"), "Quit now");    // edited text is seen at once

    QByteArray edited = English();
    edited.replace("Print=Print report\r\n", "");
    dir.Write("Language/English.ini", edited);
    EXPECT_EQ(lang.GetLangMessage("Print"), "Print report");
    EXPECT_EQ(en.ReadString("Messages", "Exit", ""), "Exit"); // restored
    EXPECT_EQ(en.ReadString("Messages", "MyNote", ""), "mine");
    EXPECT_EQ(en.ReadString("Extra", "k", ""), "v");
    EXPECT_EQ(KeysOf(English()).size(), 113 + 2);
}

TEST_F(LanguageFiles, KeyWithoutRowIsEmptyAndRewritesEveryTime) {
    lang.Select(false);
    lang.GetLangMessage("Open");
    TIniFile ru(lang.RussianFilePath());
    ru.WriteString("Messages", "Open", "changed");
    EXPECT_EQ(lang.GetLangMessage("CantCreateFolder"), "");
    EXPECT_EQ(ru.ReadString("Messages", "Open", ""), "Открыть файл...");
    ru.WriteString("Messages", "Open", "changed again");
    EXPECT_EQ(lang.GetLangMessage("NoSuchKey"), "");
    EXPECT_EQ(ru.ReadString("Messages", "Open", ""), "Открыть файл...");
}

TEST_F(LanguageFiles, GarbageFileIsRepairedNotFatal) {
    dir.Write("Language/English.ini", QByteArray("\xff\xfe garbage\r\n[Messages\r\n==\r\n[messages]\r\nopen=  'x'  \r\n"));
    lang.Select(true);
    EXPECT_EQ(lang.GetLangMessage("Open"), "x");
    EXPECT_EQ(lang.GetLangMessage("Save"), "Save...");
    EXPECT_TRUE(English().startsWith("\xff\xfe garbage\r\n"));
}

TEST_F(LanguageFiles, NoLanguageChosenRewritesAndReturnsEmpty) {
    EXPECT_EQ(lang.GetLangMessage("Open"), "");
    EXPECT_FALSE(Russian().isEmpty());
    EXPECT_FALSE(English().isEmpty());
}

TEST_F(LanguageFiles, UnwritableFolderFailsNamingTheRussianFile) {
    lang.Select(true);
    test::SetReadOnly(dir.File("Language"), true);
    try {
        lang.GetLangMessage("Open");
        ADD_FAILURE() << "no error";
    } catch (const EIniWriteError& e) {
        EXPECT_TRUE(e.Path().endsWith("Language/Russian.ini"));
        EXPECT_TRUE(QString(e.what()).startsWith("Unable to write to "));
    }
    test::SetReadOnly(dir.File("Language"), false);
}

} // namespace
} // namespace lum1
