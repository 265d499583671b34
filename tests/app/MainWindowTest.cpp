#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "app/StatusStrip.h"
#include "diag/StatusWindow.h"
#include "results/ResultsTable.h"

#include "QtPrinters.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

// A program folder in a temporary folder, started and closed like the real one.
class MainWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<Program> NewProgram() {
        return std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
    }
    std::unique_ptr<TForm1> Start(Program& program) {
        TForm1::Hooks hooks;
        hooks.endProcess = [this](int code) { exitCodes.push_back(code); };
        hooks.openUrl = [this](const QUrl& url, TOpenFailed failed) {
            opened.push_back(url.toLocalFile());
            openFailed = std::move(failed);
        };
        hooks.chooseLanguage = [this](TForm1& form) {
            ++languageDialogs;
            if (dialogChoice == 0)
                return false;
            dialogChoice == 1 ? form.ALangRusExecute() : form.ALangEngExecute();
            return true;
        };
        auto form = std::make_unique<TForm1>(program, dialogs, hooks);
        form->CreateStatusWindow();
        return form;
    }
    QString Ini(const char* section, const char* key) {
        return TIniFile(dir.File("lum1.ini")).ReadString(section, key, "<none>");
    }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::vector<int> exitCodes;
    std::vector<QString> opened;
    TOpenFailed openFailed;
    int languageDialogs = 0;
    int dialogChoice = 2; // 0: closed without a choice, 1: Russian, 2: English
};

TEST_F(MainWindowTest, StartsInTheStoredLanguageAndSavesEverythingOnClose) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_EQ(languageDialogs, 0);
    EXPECT_EQ(form->windowTitle(), "LUM-1.2. Asphalt densitometer");
    EXPECT_EQ(form->itmFile->title(), "File");
    EXPECT_EQ(form->itmDevice->title(), "Instrument");
    EXPECT_EQ(form->ARead->text(), "Data read");
    EXPECT_EQ(form->ALangEng->isChecked(), true);
    EXPECT_EQ(form->ALangRus->isChecked(), false);
    EXPECT_EQ(form->Table().Cell(3, 0), "Compaction ");
    EXPECT_EQ(form->Table().Cell(3, 1), "factor");
    EXPECT_TRUE(QFile::exists(dir.File("Language/Russian.ini")));
    EXPECT_TRUE(QFile::exists(dir.File("Language/English.ini")));
    EXPECT_EQ(Ini("Config", "Uses"), "1");
    EXPECT_EQ(form->StatusBar1->Panel0Text(), ""); // no language message at start
    EXPECT_FALSE(form->ACopyAll->isEnabled());
    EXPECT_FALSE(form->ACopyCtrlC->isEnabled());
    EXPECT_FALSE(form->itmPopUpCopyAll->isEnabled());
    EXPECT_FALSE(form->itmPopUpCopySelect->isEnabled());
    EXPECT_FALSE(form->ARdEEPROM->isVisible());
    EXPECT_FALSE(form->N1->isVisible());
    EXPECT_EQ(program->ExchangeEvents.DataRdEvent->Name(), "DataRdEvent0");
    EXPECT_EQ(program->ExchangeEvents.EEPROMReadedEvent->Name(), "EEPROMReadedEvent=0");

    form->resize(700, 500);
    form->move(30, 40);
    form->FormClose();
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(Ini("FormMain", "Maximized"), "0");
    EXPECT_EQ(Ini("FormMain", "Width"), "700");
    EXPECT_EQ(Ini("FormMain", "Height"), "500");
    EXPECT_EQ(Ini("FormMain", "Left"), "30");
    EXPECT_EQ(Ini("FormMain", "Top"), "40");
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(Ini("FormMain", QStringLiteral("ColWidth%1").arg(i).toLatin1()),
                  QString::number(NormaliseShares(DefaultColWidths)[i]));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, FirstStartAsksForTheLanguageBeforeTheWindow) {
    dialogChoice = 1;
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_EQ(languageDialogs, 1);
    EXPECT_EQ(Ini("Config", "LangId"), "Rus");
    EXPECT_EQ(form->windowTitle(), "ЛУМ-1.2. Плотномер асфальта");
    EXPECT_EQ(form->StatusBar1->Panel0Text(), "");
    EXPECT_EQ(form->StartBounds().size(), QSize(400, 300));
    EXPECT_EQ(program->HelpFilePath, dir.File("Help/Lum1RusHelp.chm"));
}

TEST_F(MainWindowTest, DialogClosedWithoutChoiceFallsBackToEnglish) {
    dialogChoice = 0;
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_EQ(Ini("Config", "LangId"), "Eng");
    EXPECT_EQ(form->windowTitle(), "LUM-1.2. Asphalt densitometer");
}

TEST_F(MainWindowTest, LanguageValuesAreExactAndUsesCounts) {
    const struct {
        const char* stored;
        const char* rewritten;
    } cases[] = {{"rus", "Eng"}, {"Russian", "Eng"}, {"Rus", "Rus"}, {"", "Eng"}};
    for (const auto& c : cases) {
        dir.Write("lum1.ini", QByteArray("[Config]\r\nLangId=") + c.stored + "\r\nUses=41\r\n");
        auto program = NewProgram();
        auto form = Start(*program);
        EXPECT_EQ(Ini("Config", "LangId"), c.rewritten) << c.stored;
        EXPECT_EQ(Ini("Config", "Uses"), "42");
    }
}

TEST_F(MainWindowTest, SwitchingLanguageAtRunTime) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Rus\r\n[Debug]\r\nEEPROM=1\r\n");
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_TRUE(form->ARdEEPROM->isVisible());
    form->ALangEngExecute();
    EXPECT_EQ(form->StatusBar1->Panel0Text(), "English language is selected. Restart the program");
    EXPECT_EQ(form->itmEdit->title(), "Edit");
    EXPECT_EQ(form->Table().Cell(1, 0), "Time, date");
    EXPECT_EQ(form->frmStatus()->windowTitle(), "Message History Window");
    EXPECT_TRUE(form->frmStatus()->Text().endsWith(": English language is selected. Restart the program"));
    form->ALangRusExecute();
    form->ALangRusExecute(); // the current language again: the message again
    EXPECT_EQ(form->StatusBar1->Panel0Text(), "Выбран русский язык. Перезапустите программу");
    EXPECT_EQ(form->frmStatus()->Text().count("Выбран русский язык"), 2);
    // Qt's own dialog buttons speak the chosen language too.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
    form->ALangEngExecute();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    form->ALangRusExecute();
    form->AChmHelpExecute();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], dir.File("Help/Lum1RusHelp.html")); // no compiled help beside it
}

TEST_F(MainWindowTest, StoredColumnWidthsAreUsedAndHandEditedOnesRejected) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n[FormMain]\r\nColWidth0=40\r\nColWidth1=100\r\n"
                          "ColWidth2=1000\r\nColWidth3=1000\r\nColWidth4=1000\r\nColWidth5=1000\r\n"
                          "ColWidth6=1000\r\nColWidth7=1000\r\nColWidth8=1000\r\nColWidth9=1000\r\n"
                          "ColWidth10=2000\r\n");
    {
        auto program = NewProgram();
        auto form = Start(*program);
        EXPECT_EQ(form->StoredColWidth[10], 2000);
        EXPECT_EQ(form->StringGrid1->ColumnWidths()[0], 40);
    }
    TIniFile(dir.File("lum1.ini")).WriteInteger("FormMain", "ColWidth4", -7);
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_EQ(form->StoredColWidth, NormaliseShares(DefaultColWidths));
}

TEST_F(MainWindowTest, ReadOnlyProgramFolderGivesOneErrorAndStaysUsable) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    QDir(dir.Path()).mkdir("Language");
    test::SetReadOnly(dir.File("lum1.ini"), true);
    test::SetReadOnly(dir.File("Language"), true);
    test::SetReadOnly(dir.Path(), true);
    auto program = NewProgram();
    auto form = Start(*program);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Unable to write to " + dir.File("lum1.ini"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    // The built-in texts stand in for the language files that could not be written.
    EXPECT_EQ(form->windowTitle(), "LUM-1.2. Asphalt densitometer");
    EXPECT_EQ(form->Table().Cell(2, 0), "Density");
    form->FormClose();
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(dialogs.messages.size(), 1u);
    test::SetReadOnly(dir.Path(), false);
    test::SetReadOnly(dir.File("Language"), false);
    test::SetReadOnly(dir.File("lum1.ini"), false);
}

TEST_F(MainWindowTest, ASecondCopyTakesTheNextEventNames) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    auto first = NewProgram();
    auto form1 = Start(*first);
    auto second = NewProgram();
    auto form2 = Start(*second);
    const TExchangeEvents& e = second->ExchangeEvents;
    for (const auto& [event, name] : {std::pair{e.DataRdEvent, "DataRdEvent1"},
                                      {e.DataReadedEvent, "DataReadedEvent 1"},
                                      {e.EEPROMRdEvent, "EEPROMRdEvent 1"},
                                      {e.EEPROMReadedEvent, "EEPROMReadedEvent=1"},
                                      {e.ScreenRdEvent, "ScreenRdEvent 1"},
                                      {e.ScrReadedEvent, "ScrReadedEvent 1"}})
        EXPECT_EQ(event->Name(), name);
}

TEST_F(MainWindowTest, MaximizedCloseKeepsTheNormalBounds) {
    dir.Write("lum1.ini",
              "[Config]\r\nLangId=Eng\r\n[FormMain]\r\nLeft=10\r\nTop=20\r\nWidth=500\r\nHeight=400\r\n");
    {
        auto program = NewProgram();
        auto form = Start(*program);
        form->showMaximized();
        form->FormClose();
    }
    EXPECT_EQ(Ini("FormMain", "Maximized"), "1");
    EXPECT_EQ(Ini("FormMain", "Width"), "500");
    EXPECT_EQ(Ini("FormMain", "Left"), "10");
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_TRUE(form->StartMaximized());
    EXPECT_EQ(form->StartBounds(), QRect(10, 20, 500, 400));
}

TEST_F(MainWindowTest, DebugModePutsTheFolderFirstInTheHistory) {
    dir.Write("lum1.ini",
              "[Config]\r\nLangId=Eng\r\n[Debug]\r\nDebugMode=1\r\n[frmStatus]\r\nHeight=5000\r\n");
    auto program = NewProgram();
    auto form = Start(*program);
    EXPECT_TRUE(form->frmStatus()->Text().endsWith(": " + QDir::toNativeSeparators(dir.Path())));
    EXPECT_EQ(form->StatusBar1->Panel0Text(), QDir::toNativeSeparators(dir.Path()));
    EXPECT_LE(form->frmStatus()->height(), QGuiApplication::primaryScreen()->geometry().height());
}

TEST_F(MainWindowTest, EveryControlHasANameAndATooltipInTheInterfaceLanguage) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Rus\r\n");
    auto program = NewProgram();
    auto form = Start(*program);
    for (const bool english : {false, true}) {
        SCOPED_TRACE(english ? "English" : "Russian");
        if (english)
            form->ALangEngExecute();
        const auto buttons = form->findChild<QWidget*>("Panel1")->findChildren<QToolButton*>();
        EXPECT_EQ(buttons.size(), 7);
        for (QToolButton* b : buttons) {
            EXPECT_FALSE(b->accessibleName().isEmpty()) << b->objectName().toStdString();
            EXPECT_EQ(b->toolTip(), b->accessibleName());
        }
        EXPECT_EQ(form->findChild<QToolButton*>("SpeedButtonRead")->accessibleName(),
                  english ? "Data read" : "Считывание данных из прибора");
        EXPECT_EQ(form->StringGrid1->accessibleName(),
                  english ? "Measurement results" : "Результаты измерений");
        for (QWidget* w : std::vector<QWidget*>{form->StatusBar1->ProgressBar1, form->StatusBar1->ShapeLink,
                                                form->StatusBar1->sbStatus})
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    form->FormClose();
}

TEST_F(MainWindowTest, UseCounterCountsStartsAndStopsAtTheLargestInteger) {
    for (const auto& [stored, expected] :
         std::vector<std::pair<const char*, const char*>>{{"", "1"},
                                                          {"Uses=41\r\n", "42"},
                                                          {"Uses=2147483646\r\n", "2147483647"},
                                                          {"Uses=2147483647\r\n", "2147483647"}}) {
        dir.Write("lum1.ini", QByteArray("[Config]\r\nLangId=Eng\r\n") + stored);
        auto program = NewProgram();
        auto form = Start(*program);
        EXPECT_EQ(Ini("Config", "Uses"), expected) << stored;
        form->FormClose();
    }
}

} // namespace
} // namespace lum1
