// The acceptance limits and the report-header setup: refusals over the dialog, which stays open,
// and the settings they keep, whatever characters the header holds.
#include "lot/AcceptanceLimitsDialog.h"
#include "lot/AcceptanceSettings.h"
#include "lot/ReportHeaderDialog.h"

#include "lang/ExtraTexts.h"
#include "platform/IniFile.h"

#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

const auto kEnglish = [](const QString& key) { return BuiltInExtraText(key, true); };

// Keys into the spin box as a user types them over its whole text; the box takes the number as
// it does when the focus leaves it (Enter would also press the dialog's default button).
void TypeInto(QDoubleSpinBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
    box->interpretText();
}

TEST(AcceptanceLimitsDialog, AMaximumBelowTheMinimumIsRefusedOverTheDialog) {
    test::ScriptedDialogs dialogs;
    TAcceptanceLimits start;
    start.Lower = 0.97; // the lot statistics' minimum
    TAcceptanceLimitsDialog d(start, dialogs, kEnglish);
    d.show();
    EXPECT_EQ(d.LowerBox()->value(), 0.97);
    EXPECT_FALSE(d.UpperBox()->isEnabled());
    QTest::mouseClick(d.UpperCheck(), Qt::LeftButton);
    EXPECT_TRUE(d.UpperBox()->isEnabled());
    TypeInto(d.UpperBox(), QStringLiteral("0.95"));
    QTest::keyClick(&d, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].parent, &d);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The maximum (0")))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), QDialog::Accepted);

    // Mended, with the PWL rule: accepted as given.
    TypeInto(d.UpperBox(), QStringLiteral("1.02"));
    QTest::mouseClick(d.PwlButton(), Qt::LeftButton);
    EXPECT_TRUE(d.ThresholdBox()->isEnabled());
    EXPECT_FALSE(d.ToleranceBox()->isEnabled());
    TypeInto(d.ThresholdBox(), QStringLiteral("85"));
    QTest::keyClick(&d, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const TAcceptanceLimits l = d.Limits();
    EXPECT_EQ(l.Quantity, TAcceptanceQuantity::Compaction);
    EXPECT_DOUBLE_EQ(l.Lower, 0.97);
    ASSERT_TRUE(l.Upper);
    EXPECT_DOUBLE_EQ(*l.Upper, 1.02);
    EXPECT_EQ(l.Rule, TAcceptanceRule::Pwl);
    EXPECT_DOUBLE_EQ(l.PwlThreshold, 85);
}

TEST(AcceptanceLimitsDialog, EachQuantityKeepsItsNumbersAndTheSettingsKeepTheChoice) {
    test::ScriptedDialogs dialogs;
    TAcceptanceLimitsDialog d(TAcceptanceLimits{}, dialogs, kEnglish);
    QTest::mouseClick(d.DensityButton(), Qt::LeftButton);
    EXPECT_EQ(d.LowerBox()->decimals(), 1);
    TypeInto(d.LowerBox(), QStringLiteral("2300"));
    QTest::mouseClick(d.MeanButton(), Qt::LeftButton);
    TypeInto(d.ToleranceBox(), QStringLiteral("25"));
    QTest::mouseClick(d.CompactionButton(), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(d.LowerBox()->value(), DefaultMinCompaction);
    QTest::mouseClick(d.DensityButton(), Qt::LeftButton);
    const TAcceptanceLimits l = d.Limits();
    EXPECT_EQ(l.Quantity, TAcceptanceQuantity::Density);
    EXPECT_DOUBLE_EQ(l.Lower, 2300);
    EXPECT_EQ(l.Rule, TAcceptanceRule::MeanAndTolerance);

    test::TempDir dir;
    TIniFile ini(dir.File(QStringLiteral("lum1.ini")));
    EXPECT_DOUBLE_EQ(ReadAcceptanceLimits(ini, 0.97).Lower, 0.97); // nothing kept: the statistics' minimum
    WriteAcceptanceLimits(ini, l);
    const TAcceptanceLimits back = ReadAcceptanceLimits(ini, 0.97);
    EXPECT_EQ(back.Quantity, TAcceptanceQuantity::Density);
    EXPECT_DOUBLE_EQ(back.Lower, 2300);
    EXPECT_FALSE(back.Upper);
    EXPECT_EQ(back.Rule, TAcceptanceRule::MeanAndTolerance);
    EXPECT_DOUBLE_EQ(back.Tolerance, l.Tolerance);
}

TEST(ReportHeaderDialog, ALogoThatIsNoPictureIsRefusedAndTheDialogStays) {
    test::TempDir dir;
    dir.Write("logo.png", "this is text, not a picture");
    QImage picture(120, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("real.png"))));
    test::ScriptedDialogs dialogs;
    TReportHeaderSetup setup;
    setup.Logo = dir.File(QStringLiteral("logo.png"));
    TReportHeaderDialog d(setup, dialogs, kEnglish);
    d.show();
    EXPECT_TRUE(d.LogoPreview()->text().contains(QStringLiteral("is not a picture")))
        << d.LogoPreview()->text().toStdString();
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("HeaderOk")), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].parent, &d);
    EXPECT_EQ(dialogs.messages[0].text, BuiltInExtraText(u"AccLogoNotImage", true).arg(setup.Logo));
    EXPECT_NE(d.result(), QDialog::Accepted);

    // Another file chosen through the file dialog: read and shown, and the dialog closes.
    dialogs.fileAnswers.push_back(dir.File(QStringLiteral("real.png")));
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("HeaderLogoBrowse")), Qt::LeftButton);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].parent, &d);
    EXPECT_FALSE(d.LogoPreview()->pixmap().isNull());
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("HeaderOk")), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Setup().Logo, dir.File(QStringLiteral("real.png")));
}

// Texts with quotes, brackets, markup, blanks at the ends and another script come back from the
// settings file as they were typed.
TEST(ReportHeaderDialog, HeaderTextsOfAnyKindKeptAsTyped) {
    test::TempDir dir;
    TIniFile ini(dir.File(QStringLiteral("lum1.ini")));
    TReportHeaderSetup setup;
    setup.Header.Organisation = QStringLiteral("\"Roads\" & Co. <b>[Lab]</b>");
    setup.Header.Project = QStringLiteral("  ООО «Дорстрой»; contract №7 = 'x'  ");
    setup.Header.Operator = QStringLiteral("'quoted'");
    setup.Header.Road = QStringLiteral("line\r\nbreak");
    WriteReportHeader(ini, setup);
    const TReportHeaderSetup back = ReadReportHeader(TIniFile(dir.File(QStringLiteral("lum1.ini"))));
    EXPECT_EQ(back.Header.Organisation, setup.Header.Organisation);
    EXPECT_EQ(back.Header.Project, setup.Header.Project);
    EXPECT_EQ(back.Header.Operator, setup.Header.Operator);
    EXPECT_EQ(back.Header.Road, QStringLiteral("line  break"));
    EXPECT_TRUE(back.Logo.isEmpty());

    test::ScriptedDialogs dialogs;
    TReportHeaderDialog d(back, dialogs, kEnglish);
    EXPECT_EQ(d.Field("Organisation")->text(), setup.Header.Organisation);
    for (QWidget* w : d.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPushButton*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty() || w->toolTip().isEmpty())
                << w->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace lum1
