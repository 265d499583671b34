// The About window: the version line in both languages and date forms, texts from the language
// file, the vendor file's details and links, F1.
#include "about/AboutBox.h"
#include "about/BuildInfo.h"
#include "about/LinkLabel.h"
#include "about/VendorFile.h"
#include "about/VersionText.h"
#include "lang/Language.h"
#include "platform/IniFile.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(VersionText, FollowsTheLanguageAndTheCompilersDateForm) {
    const auto english = [](const QString& key) { return key == "Version" ? QString("Version") : key; };
    const auto russian = [](const QString& key) {
        return key == "Version" ? QString("Версия") : key == "May" ? QString("мая") : key;
    };
    struct Case {
        const char* date;
        bool english;
        const char* expected;
    };
    const Case cases[] = {
        {"May 25 2020", true, "Version 2.0.5.329, May 25, 2020"},
        {"May 25 2020", false, "Версия 2.0.5.329 от 25 мая 2020 г."},
        {"May  5 2020", true, "Version 2.0.5.329, May 5, 2020"},
        {"May  5 2020", false, "Версия 2.0.5.329 от 5 мая 2020 г."},
    };
    for (const Case& c : cases) {
        const auto parts = SplitBuildDate(c.date);
        ASSERT_TRUE(parts) << c.date;
        const QString line = c.english ? VersionLine(true, "2.0.5.329", *parts, english)
                                       : VersionLine(false, "2.0.5.329", *parts, russian);
        EXPECT_EQ(line, QString::fromUtf8(c.expected));
    }
    for (const char* bad : {"", "May", "May 25"})
        EXPECT_FALSE(SplitBuildDate(bad)) << bad;
}

TEST(BuildInfo, VersionHasFourNumbersAndTheDateTheCompilersForm) {
    EXPECT_TRUE(QRegularExpression(R"(^\d+\.\d+\.\d+\.\d+$)").match(FileVersion()).hasMatch())
        << FileVersion().toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^[A-Z][a-z]{2} [ 1-3]\d \d{4}$)").match(BuildDate()).hasMatch())
        << BuildDate().toStdString();
}

// The window over real language files in a temporary program folder.
class AboutWindow : public ::testing::Test {
protected:
    AboutWindow() : language(dir.Path()) { QDir().mkpath(language.LanguageFolder()); }

    std::unique_ptr<TAboutBox> Open(bool english, const QString& vendorText = {}) {
        language.Select(english);
        if (!QFile::exists(language.EnglishFilePath()))
            language.CreateLangFiles();
        if (!vendorText.isNull())
            dir.Write("vendor.ini", vendorText.toUtf8());
        TAboutContext c;
        c.Msg = [this](const QString& key) { return language.GetLangMessage(key); };
        c.EnglishUI = english;
        c.Help = [this] { ++helps; };
        c.OpenUrl = [this](const QUrl& url) { opened << url; };
        c.VendorFilePath = dir.File("vendor.ini");
        c.FileVersion = "2.0.5.329";
        c.BuildDate = "May 25 2020";
        return std::make_unique<TAboutBox>(std::move(c), nullptr);
    }

    test::TempDir dir;
    TLanguage language;
    QList<QUrl> opened;
    int helps = 0;
};

const char* const SampleVendor = "[Vendor]\r\nPhone1=+7 000 000-00-00\r\nPhone2=+7 000 000-00-01\r\n"
                                 "Site=www.example.com\r\nEmailInfo=info@example.com\r\n"
                                 "EmailTech=support@example.com\r\nEmailService=service@example.com\r\n";

TEST_F(AboutWindow, TextsComeFromTheLanguageFile) {
    auto ru = Open(false, SampleVendor);
    EXPECT_EQ(ru->windowTitle(), QString::fromUtf8("О программе\"ЛУМ-1.2. Плотномер асфальта\""));
    EXPECT_EQ(ru->Version->text(), QString::fromUtf8("Версия 2.0.5.329 от 25 мая 2020 г."));
    EXPECT_EQ(ru->LabelTech->text(), QString::fromUtf8("Техподдержка:"));
    EXPECT_EQ(ru->txtCopyright->text(), QString::fromUtf8("(C) Изготовитель ЛУМ-1, Город"));

    auto en = Open(true);
    EXPECT_EQ(en->windowTitle(), "About\"LUM-1.2. Asphalt densitometer\"");
    EXPECT_EQ(en->Version->text(), "Version 2.0.5.329, May 25, 2020");

    // The user's own month text, and markup in a text shown as it is written.
    TIniFile(language.EnglishFilePath()).WriteString("Messages", "May", "<b>Maius</b>");
    auto own = Open(true);
    EXPECT_EQ(own->Version->text(), "Version 2.0.5.329, <b>Maius</b> 25, 2020");
    EXPECT_EQ(own->Version->textFormat(), Qt::PlainText);
}

TEST_F(AboutWindow, LinksOpenTheirOwnAddress) {
    auto box = Open(true, SampleVendor);
    box->Label1->clicked();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].scheme(), "mailto");
    EXPECT_EQ(opened[0].path(), "support@example.com");
    EXPECT_EQ(opened[0].query(QUrl::FullyDecoded), "Subject=LUM-1.2. Asphalt densitometer");
    QTest::mouseClick(box->ProgramIcon, Qt::LeftButton);
    QTest::mouseClick(box->LabelWWW, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[1], QUrl("http://www.example.com"));
    EXPECT_EQ(opened[2], opened[1]);

    // A title with '&' arrives whole in the subject.
    TIniFile(language.EnglishFilePath()).WriteString("Messages", "Title", "A & B");
    auto edited = Open(true, SampleVendor);
    edited->LabelEMail->clicked();
    EXPECT_EQ(opened.back().query(QUrl::FullyDecoded), "Subject=A & B");
    EXPECT_EQ(opened.back().query(QUrl::FullyEncoded), "Subject=A%20%26%20B");
}

TEST_F(AboutWindow, DetailsTheVendorFileDoesNotSetAreHidden) {
    struct Case {
        const char* name;
        QString vendor; // null: no file
        bool phones, site, tech;
    };
    const Case cases[] = {
        {"no file", QString(), false, false, false},
        {"empty values", "[Vendor]\r\nPhone1=\r\nSite=\r\n", false, false, false},
        {"damaged", QString::fromLatin1("\xff\xfe\x00garbage[[[\r\nSite=\xff\xff\r\n"), false, false, false},
        {"not a web page", "[Vendor]\r\nSite=file:///etc/passwd\r\nEmailTech=t@example.com\r\n", false, false,
         true},
        {"complete", SampleVendor, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dir.File("vendor.ini"));
        auto box = Open(true, c.vendor);
        EXPECT_EQ(box->Comments->isVisibleTo(box.get()), c.phones);
        EXPECT_EQ(box->LabelFax->isVisibleTo(box.get()), c.phones);
        EXPECT_EQ(box->LabelMulti2->isVisibleTo(box.get()), c.phones);
        EXPECT_EQ(box->LabelWWW->isVisibleTo(box.get()), c.site);
        EXPECT_EQ(box->LabelSite->isVisibleTo(box.get()), c.site);
        EXPECT_EQ(box->Label1->isVisibleTo(box.get()), c.tech);
        EXPECT_EQ(box->LabelTech->isVisibleTo(box.get()), c.tech);
        opened.clear();
        QTest::mouseClick(box->ProgramIcon, Qt::LeftButton);
        EXPECT_EQ(opened.size(), c.site ? 1 : 0);
        // The version line does not depend on the vendor file.
        EXPECT_EQ(box->Version->text(), "Version 2.0.5.329, May 25, 2020");
    }
}

TEST_F(AboutWindow, F1OpensTheHelpWithAnyModifiers) {
    auto box = Open(false, SampleVendor);
    QTest::keyClick(box.get(), Qt::Key_F1);
    QTest::keyClick(box->OKButton, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(box->OKButton, Qt::Key_F1, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(helps, 3);
    EXPECT_FALSE(box->OKButton->toolTip().isEmpty());
    EXPECT_FALSE(box->LabelEMail->toolTip().isEmpty());
}

// The keyboard as a user meets it with the shipped vendor file, keys delivered through the
// window as a keyboard sends them: the window opens with the focus on OK, so Enter closes it
// and opens nothing; Escape closes it too. Tab reaches each link, which then shows a focus
// mark and opens on Return.
TEST_F(AboutWindow, EnterClosesAndTabReachesTheLinks) {
    ASSERT_TRUE(QFile::copy(LUM1_SHIPPED_VENDOR_FILE, dir.File("vendor.ini")));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        auto box = Open(false);
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(box.get()));
        EXPECT_EQ(QApplication::focusWidget(), box->OKButton);
        QTest::keyClick(box->windowHandle(), key);
        EXPECT_TRUE(box->isHidden()) << key;
        EXPECT_EQ(box->result(), key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_TRUE(opened.isEmpty()) << opened.value(0).toString().toStdString();
    }

    auto box = Open(true);
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(box.get()));
    QList<QWidget*> reached;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(box->windowHandle(), Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    EXPECT_EQ(reached.back(), box->OKButton);
    for (TLinkLabel* link : {box->ProgramIcon, box->LabelWWW, box->LabelEMail, box->Label1, box->Label3})
        EXPECT_TRUE(reached.contains(link)) << link->objectName().toStdString();
    // The focus mark: the same link looks different with and without the focus.
    while (QApplication::focusWidget() != box->LabelWWW)
        QTest::keyClick(box->windowHandle(), Qt::Key_Tab);
    const QImage focused = box->LabelWWW->grab().toImage();
    QTest::keyClick(box->windowHandle(), Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl("http://www.example.com"));
    EXPECT_TRUE(box->isVisible());
    QTest::keyClick(box->windowHandle(), Qt::Key_Tab);
    EXPECT_NE(box->LabelWWW->grab().toImage(), focused);
}

TEST(VendorFile, ShippedSampleIsMarkedAndComplete) {
    const TVendorInfo v = ReadVendorFile(LUM1_SHIPPED_VENDOR_FILE);
    for (const QString& detail : {v.Phone1, v.Phone2, v.Site, v.EmailInfo, v.EmailTech, v.EmailService})
        EXPECT_FALSE(detail.isEmpty());
    EXPECT_TRUE(v.Site.contains("example"));
    EXPECT_TRUE(v.EmailInfo.endsWith("@example.com"));
    EXPECT_TRUE(v.BrandEnglish.contains("Sample"));
}

} // namespace
} // namespace lum1
