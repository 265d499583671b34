// F1 in every window opens the manual of the interface language at that window's section; a
// manual or link that cannot be opened gives a message with the manual's path; the desktop's
// opener is run and its failures are seen.
#include "app/AcceptanceFeatures.h"
#include "app/HelpTopics.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "app/UrlOpener.h"
#include "device/USBExchange.h"
#include "diag/StatusWindow.h"
#include "report/MeasurementReport.h"
#include "screen/ScreenContext.h"
#include "screen/ScreenshotWindow.h"

#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

namespace lum1 {
namespace {

void WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QString Manual(const QString& folder, bool english) {
    return folder + (english ? QStringLiteral("/Lum1EngHelp.html") : QStringLiteral("/Lum1RusHelp.html"));
}

// Runs `act` on the modal window a command opens, as soon as it is open, then closes it.
void OnModalWindow(const std::function<void(QWidget*)>& act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        act(modal);
        modal->close();
    });
    poll->start();
}

// The program in a temporary folder with the real manuals in its Help folder and the simulated
// gauge, in a language chosen per test.
class HelpTest : public ::testing::TestWithParam<bool> {
protected:
    void Start(bool english, bool withManuals = true) {
        dir.Write("lum1.ini", english ? "[Config]\r\nLangId=Eng\r\n" : "[Config]\r\nLangId=Rus\r\n");
        QDir(dir.File("Help")).removeRecursively();
        if (withManuals) {
            QDir(dir.Path()).mkdir("Help");
            for (bool e : {false, true})
                ASSERT_TRUE(QFile::copy(Manual(LUM1_HELP_FOLDER, e), Manual(dir.File("Help"), e)));
        }
        QByteArray file;
        for (int i = 1; i <= 3; ++i)
            file.append(test::RecordBytes(test::SampleRecord(static_cast<uint16_t>(i))));
        dir.Write("three.lum1", file);
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        hooks.openUrl = [this](const QUrl& url, TOpenFailed failed) {
            opened.push_back(url);
            if (failure)
                failed(*failure);
        };
        hooks.usbLibraryName = LUM1_SIM_LIBRARY;
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        WaitUntil([this] { return form->Device().Exchange()->USBState.load() == stIdle; });
    }
    void TearDown() override {
        if (form)
            form->FormClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The one address opened since the last call: the manual of the language at the section,
    // a section that the manual has.
    void ExpectManualAt(const char* section, bool english, const char* window) {
        SCOPED_TRACE(window);
        ASSERT_EQ(opened.size(), 1u);
        const QUrl url = opened.front();
        opened.clear();
        EXPECT_EQ(url.toLocalFile(), Manual(dir.File("Help"), english));
        EXPECT_EQ(url.fragment(), section);
        QFile manual(url.toLocalFile());
        ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
        EXPECT_TRUE(manual.readAll().contains(QByteArray("id=\"") + section + '"'))
            << "no section " << section << " in " << url.toLocalFile().toStdString();
    }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    std::vector<QUrl> opened;
    std::optional<TOpenFailure> failure;
};

TEST_P(HelpTest, F1InEveryWindowOpensTheManualAtItsSection) {
    const bool english = GetParam();
    Start(english);
    dialogs.fileAnswers.push_back(dir.File("three.lum1"));
    form->AOpenExecute();

    QTest::keyClick(form->StringGrid1, Qt::Key_F1, Qt::ControlModifier);
    ExpectManualAt(HelpTopic::MainWindow, english, "main window");

    form->frmStatus()->show();
    QTest::keyClick(form->frmStatus(), Qt::Key_F1);
    ExpectManualAt(HelpTopic::Messages, english, "history");

    OnModalWindow([](QWidget* about) { QTest::keyClick(about, Qt::Key_F1); });
    form->AAboutExecute();
    ExpectManualAt(HelpTopic::About, english, "About");

    // The preview of the real print command, F1 pressed in its find field.
    OnModalWindow([](QWidget* preview) {
        auto* find = preview->findChild<QLineEdit*>("FindTextEdit");
        ASSERT_NE(find, nullptr);
        find->setFocus();
        QTest::keyClick(find, Qt::Key_F1, Qt::ShiftModifier);
    });
    form->APrintExecute();
    ExpectManualAt(HelpTopic::Report, english, "report preview");

    form->LotFeatures()->ShowChart();
    TDensityChart* chart = form->LotFeatures()->Chart();
    ASSERT_NE(chart, nullptr);
    QTest::keyClick(chart->findChild<QPushButton*>(), Qt::Key_F1, Qt::AltModifier);
    ExpectManualAt(HelpTopic::Chart, english, "density chart");
    chart->close();

    // The lot acceptance's windows, each opened modally from its menu item.
    const std::pair<QAction*, const char*> acceptance[] = {
        {form->AcceptanceFeatures()->ACorrelation, HelpTopic::Correlation},
        {form->AcceptanceFeatures()->AAcceptanceLimits, HelpTopic::Acceptance},
        {form->AcceptanceFeatures()->AReportHeader, HelpTopic::ReportHeader},
    };
    for (const auto& [action, section] : acceptance) {
        OnModalWindow([](QWidget* window) {
            QWidget* control = window->findChild<QLineEdit*>();
            ASSERT_NE(control, nullptr);
            QTest::keyClick(control, Qt::Key_F1);
        });
        action->trigger();
        ExpectManualAt(section, english, section);
    }
    OnModalWindow([](QWidget* preview) { QTest::keyClick(preview, Qt::Key_F1); });
    form->AcceptanceFeatures()->AAcceptanceReport->trigger();
    ExpectManualAt(HelpTopic::AcceptanceReport, english, "acceptance report");

    // The screen window during its read of the simulated gauge.
    QTimer::singleShot(0, [this] {
        TfrmScreenshot* screen = form->ScreenContext()->frmScreenshot.data();
        ASSERT_NE(screen, nullptr);
        QTest::keyClick(screen, Qt::Key_F1);
        screen->BtnExit->click();
    });
    form->AScreenshotExecute();
    ExpectManualAt(HelpTopic::Screen, english, "screen picture");

    // The Help menu's command opens the manual from its start.
    form->AChmHelpExecute();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile(), Manual(dir.File("Help"), english));
    EXPECT_FALSE(opened[0].hasFragment());
    EXPECT_TRUE(dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, HelpTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "English" : "Russian"; });

TEST(HelpManuals, EverySectionThatF1OpensIsInBothManuals) {
    for (bool english : {false, true}) {
        QFile manual(Manual(LUM1_HELP_FOLDER, english));
        ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
        const QByteArray text = manual.readAll();
        for (const char* section : HelpTopic::All)
            EXPECT_TRUE(text.contains(QByteArray("id=\"") + section + '"'))
                << section << " missing in " << manual.fileName().toStdString();
    }
}

// What the user is told when the desktop could not open the manual or a link: why, in the
// interface language, and where the manual is.
TEST_F(HelpTest, AManualThatCannotBeOpenedGivesItsPath) {
    const struct {
        bool english;
        bool withManuals;
        TOpenFailure failure;
        const char* reason;
    } cases[] = {
        {true, true, {true, 0, "xdg-open"}, "the program xdg-open is not installed (the package xdg-utils"},
        {true, true, {false, 3, "xdg-open"}, "xdg-open found no program to show it (exit code 3)"},
        {true, false, {false, 2, "xdg-open"}, "the file is missing"},
        {false,
         true,
         {true, 0, "xdg-open"},
         "программа xdg-open не установлена (она входит в пакет xdg-utils)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        TearDown();
        form.reset();
        dialogs.messages.clear();
        failure = c.failure;
        Start(c.english, c.withManuals);
        QTest::keyClick(form.get(), Qt::Key_F1);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const QString text = dialogs.messages[0].text;
        EXPECT_TRUE(text.contains(c.reason)) << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(Manual(dir.File("Help"), c.english))))
            << text.toStdString();
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
        opened.clear();
    }
}

TEST_F(HelpTest, ALinkThatCannotBeOpenedIsNamed) {
    failure = TOpenFailure{false, 4, "xdg-open"};
    dir.Write("vendor.ini", "[Vendor]\r\nSite=www.example.com\r\n");
    Start(true);
    OnModalWindow([](QWidget* about) {
        QWidget* site = about->findChild<QWidget*>("LabelWWW");
        ASSERT_NE(site, nullptr);
        QTest::mouseClick(site, Qt::LeftButton);
    });
    form->AAboutExecute();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString(), "http://www.example.com");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "The address could not be opened: xdg-open found no program to show it "
              "(exit code 4).\nhttp://www.example.com");
}

// The desktop's opener really run: an opener that succeeds reports nothing and gets the address
// encoded; one that fails or is missing is reported.
TEST(UrlOpener, ReportsAnOpenerThatFailsOrIsMissing) {
    test::TempDir dir;
    const QString log = dir.File("args.txt");
    dir.Write("ok", "#!/bin/sh\nprintf '%s' \"$1\" > '" + log.toUtf8() + "'\n");
    dir.Write("fails", "#!/bin/sh\nexit 3\n");
    for (const char* script : {"ok", "fails"})
        QFile::setPermissions(dir.File(script), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const struct {
        QString opener;
        bool failed;
        bool missing;
        int code;
    } cases[] = {
        {dir.File("ok"), false, false, 0},
        {dir.File("fails"), true, false, 3},
        {dir.File("no-such-opener"), true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opener.toStdString());
        TUrlOpener opener(c.opener);
        std::optional<TOpenFailure> seen;
        QUrl url = QUrl::fromLocalFile(dir.File("Руководство пользователя.html"));
        url.setFragment("report");
        opener.Open(url, [&seen](const TOpenFailure& f) { seen = f; });
        WaitUntil([&] { return opener.Running() == 0; });
        ASSERT_EQ(opener.Running(), 0);
        EXPECT_EQ(seen.has_value(), c.failed);
        if (seen) {
            EXPECT_EQ(seen->OpenerMissing, c.missing);
            EXPECT_EQ(seen->ExitCode, c.code);
            EXPECT_EQ(seen->Opener, c.opener);
        } else {
            EXPECT_EQ(dir.Read("args.txt"), url.toEncoded());
            EXPECT_TRUE(dir.Read("args.txt").endsWith(".html#report"));
            EXPECT_FALSE(dir.Read("args.txt").contains(' '));
        }
    }
}

} // namespace
} // namespace lum1
