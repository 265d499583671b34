// The preview window: its pages, buttons and texts, find, print without a printer, and export.
#include "platform/IniFile.h"
#include "report/CsvExport.h"
#include "report/ReportPreview.h"

#include "ReportFixture.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

using test::ReportHarness;

class Preview : public ::testing::Test {
protected:
    void Open(int rows, bool english = true) {
        h.rows = test::NumberedRows(rows);
        h.Print();
        h.report.frxReport1.Resources.UseBuiltIn(english);
        preview = std::make_unique<TReportPreview>(h.report.frxReport1);
        preview->show();
        QCoreApplication::processEvents();
    }
    void Trigger(const char* action) {
        auto* a = preview->findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    int ShownPage() const { return preview->findChild<QSpinBox*>(QStringLiteral("PageNumberBox"))->value(); }

    ReportHarness h;
    std::unique_ptr<TReportPreview> preview;
};

TEST_F(Preview, OpensOnTheFirstPageAtFullSizeAndMovesBetweenPages) {
    Open(70);
    EXPECT_EQ(preview->PageCount(), 3);
    EXPECT_EQ(preview->CurrentPage(), 1);
    EXPECT_DOUBLE_EQ(preview->View()->zoomFactor(), 1.0);
    EXPECT_EQ(preview->findChild<QLabel*>(QStringLiteral("PageCountLabel"))->text(), "of 3");
    const std::pair<const char*, int> steps[] = {{"NextPageAction", 2},  {"LastPageAction", 3},
                                                 {"NextPageAction", 3},  {"PriorPageAction", 2},
                                                 {"FirstPageAction", 1}, {"PriorPageAction", 1}};
    for (const auto& [action, page] : steps) {
        Trigger(action);
        EXPECT_EQ(preview->CurrentPage(), page) << action;
        EXPECT_EQ(ShownPage(), page) << action;
    }
}

// A page at 100 % needs room: the preview opens maximised, or at the size the user last gave it.
TEST(PreviewSize, OpensMaximisedOrAtTheLastSizeAtFullZoom) {
    const test::TempDir dir;
    TIniFile ini(dir.File("lum1.ini"));
    ReportHarness h;
    h.rows = test::NumberedRows(3);
    h.Print();
    h.report.frxReport1.IniFile = &ini;
    auto open = [&h] {
        auto preview = std::make_unique<TReportPreview>(h.report.frxReport1);
        preview->show();
        QCoreApplication::processEvents();
        EXPECT_DOUBLE_EQ(preview->View()->zoomFactor(), 1.0);
        return preview;
    };
    {
        auto preview = open(); // nothing stored yet
        EXPECT_TRUE(preview->isMaximized());
        preview->showNormal();
        preview->resize(640, 480);
        QCoreApplication::processEvents();
        preview->reject();
    }
    EXPECT_EQ(ini.ReadInteger("ReportPreview", "Maximized", -1), 0);
    EXPECT_EQ(ini.ReadInteger("ReportPreview", "Width", -1), 640);
    EXPECT_EQ(ini.ReadInteger("ReportPreview", "Height", -1), 480);
    {
        auto preview = open();
        EXPECT_FALSE(preview->isMaximized());
        EXPECT_EQ(preview->size(), QSize(640, 480));
        preview->showMaximized();
        QCoreApplication::processEvents();
        preview->reject();
    }
    EXPECT_EQ(ini.ReadInteger("ReportPreview", "Maximized", -1), 1);
    EXPECT_TRUE(open()->isMaximized());
    // Without a settings file (the command line) it opens maximised as well.
    h.report.frxReport1.IniFile = nullptr;
    EXPECT_TRUE(open()->isMaximized());
}

TEST_F(Preview, EveryControlIsNamedAndExplainedInTheInterfaceLanguage) {
    for (bool english : {true, false}) {
        SCOPED_TRACE(english ? "English" : "Russian");
        Open(3, english);
        EXPECT_EQ(preview->windowTitle(), english ? "Preview" : "Предварительный просмотр");
        const auto buttons = preview->findChild<QToolBar*>()->findChildren<QToolButton*>();
        // Those that do not fit the window wait behind the toolbar's overflow button, named too.
        EXPECT_GE(buttons.size(), 15);
        for (const QToolButton* b : buttons) {
            EXPECT_FALSE(b->accessibleName().isEmpty()) << b->objectName().toStdString();
            EXPECT_FALSE(b->toolTip().isEmpty()) << b->objectName().toStdString();
        }
        EXPECT_EQ(preview->findChild<QToolButton*>(QStringLiteral("PrintActionButton"))->accessibleName(),
                  english ? "Print" : "Печать");
        EXPECT_EQ(preview->findChild<QSpinBox*>(QStringLiteral("PageNumberBox"))->accessibleName(),
                  english ? "Page number" : "Номер страницы");
    }
}

TEST_F(Preview, FindShowsThePageOfTheTextAndSaysWhenThereIsNone) {
    Open(70);
    EXPECT_TRUE(preview->FindNext(QStringLiteral("55.7")));
    EXPECT_EQ(preview->CurrentPage(), 2);
    EXPECT_TRUE(preview->FindNext(QStringLiteral("70.10")));
    EXPECT_EQ(preview->CurrentPage(), 3);
    // The search goes on after the last find and round to the start.
    EXPECT_TRUE(preview->FindNext(QStringLiteral("1.10")));
    EXPECT_EQ(preview->CurrentPage(), 1);

    auto* edit = preview->findChild<QLineEdit*>(QStringLiteral("FindTextEdit"));
    edit->setText(QStringLiteral("no such text"));
    Trigger("FindNextAction");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Text \"no such text\" was not found.");
}

TEST_F(Preview, PrintWithoutAPrinterSaysSoInTheUsersLanguage) {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed here";
    Open(3, false);
    bool dialogShown = false;
    preview->execPrintDialog = [&](QPrinter&) { return dialogShown = true; };
    Trigger("PrintAction");
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text,
              "Не установлен ни один принтер. Отчет можно экспортировать в файл PDF.");
    EXPECT_EQ(h.dialogs.messages[0].caption, "LUM-1.2. Asphalt densitometer");
}

TEST_F(Preview, PrintsThePagesThePrinterSettingsChoose) {
    Open(70);
    const test::TempDir dir;
    struct Case {
        QPrinter::PrintRange range;
        int from, to;
        const char* present;
        const char* absent;
    };
    preview->GoToPage(3);
    const Case cases[] = {{QPrinter::PageRange, 2, 2, "40.6", "1.6"},
                          {QPrinter::PageRange, 3, 9, "70.6", "40.6"},
                          {QPrinter::CurrentPage, 0, 0, "70.6", "1.6"},
                          {QPrinter::AllPages, 0, 0, "70.6", "no such text"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.present);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.File("printed.pdf"));
        printer.setFullPage(true);
        printer.setPrintRange(c.range);
        printer.setFromTo(c.from, c.to);
        ASSERT_TRUE(preview->PrintOn(printer));
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {dir.File("printed.pdf"), QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.present)));
        EXPECT_FALSE(text.split(u'\n').contains(QString::fromUtf8(c.absent)));
    }
}

TEST(PreviewPageSetup, ANewPaperLaysTheShownReportOutAgainAcrossItsWidth) {
    ReportHarness h;
    h.rows = test::NumberedRows(70);
    const QPageLayout portrait(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                               QPageLayout::Millimeter);
    // The preview runs inside the print command, while the report can still ask for its rows.
    h.report.ShowReport = [&](TfrxReport& report) {
        TReportPreview preview(report);
        preview.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(preview.PageCount(), 3);
        preview.ApplyPageLayout(portrait);
        QCoreApplication::processEvents();
        const TPreparedReport& r = h.Prepared();
        EXPECT_FALSE(r.Landscape);
        EXPECT_EQ(preview.PageCount(), static_cast<int>(r.Pages.size()));
        EXPECT_EQ(r.Pages.size(), 2u); // 277 mm of paper height holds more rows than 190 mm
        QStringList numbers;
        for (int i = 1; i <= 70; ++i)
            numbers << QString::number(i);
        EXPECT_EQ(test::PrintedNumbers(r), numbers);

        // Title and page number centred between the new margins, 190 mm apart.
        const double left = 10 * UnitsPerMm, right = 200 * UnitsPerMm;
        for (const TPreparedPage& page : r.Pages) {
            const TPreparedBox* footer = test::BoxesOf(page, QStringLiteral("Memo1"))[0];
            EXPECT_NEAR(footer->Rect.left(), left, 1e-6);
            EXPECT_NEAR(footer->Rect.right(), right, 1e-6);
            EXPECT_NEAR(footer->Rect.bottom(), (297 - 10) * UnitsPerMm - 22.677 + 3.780 + 18.898, 1e-6);
        }
        const TPreparedBox* title = test::BoxesOf(r.Pages[0], QStringLiteral("Memo2"))[0];
        EXPECT_NEAR(title->Rect.center().x(), (left + right) / 2, 1e-6);
        // The columns by the print command's rule on the new page: 794 - 100 = 694 units for
        // grid widths summing to 746.
        const float k = static_cast<float>(694.0 / 746.0);
        double expectedLeft = left;
        const int gridWidths[] = {45, 125, 64, 64, 64, 64, 64, 64, 64, 64, 64};
        for (int c = 0; c < 11; ++c) {
            const TPreparedBox* heading = test::BoxesOf(r.Pages[1], QStringLiteral("Memo%1").arg(100 + c))[0];
            const int width = static_cast<int>(gridWidths[c] * k);
            EXPECT_NEAR(heading->Rect.left(), expectedLeft, 1e-6) << c;
            EXPECT_NEAR(heading->Rect.width(), width, 1e-6) << c;
            expectedLeft += width;
        }
        EXPECT_LE(expectedLeft, right);
    };
    h.Print();

    // The next report starts from the documented page again.
    h.report.ShowReport = [](TfrxReport&) {};
    h.Print();
    const TPreparedReport& next = h.Prepared();
    EXPECT_TRUE(next.Landscape);
    EXPECT_DOUBLE_EQ(next.PageWidthMm, 297);
    EXPECT_DOUBLE_EQ(next.LeftMarginMm, 20);
    EXPECT_DOUBLE_EQ(next.RightMarginMm, 5);
    EXPECT_EQ(next.Pages.size(), 3u);
    const TPreparedBox* title = test::BoxesOf(next.Pages[0], QStringLiteral("Memo2"))[0];
    EXPECT_NEAR(title->Rect.width(), 272 * UnitsPerMm, 1e-6);
    const float k = static_cast<float>(1023.0 / 746.0);
    int columns = 0;
    for (int w : {45, 125, 64, 64, 64, 64, 64, 64, 64, 64, 64})
        columns += static_cast<int>(w * k);
    EXPECT_NEAR(test::BoxesOf(next.Pages[0], QStringLiteral("Memo110"))[0]->Rect.right(),
                20 * UnitsPerMm + columns, 1e-6);
}

TEST_F(Preview, ExportWritesTheChosenFileAndRemembersItsFolder) {
    Open(5);
    const test::TempDir dir;
    h.dialogs.fileAnswers.push_back(dir.File("report.csv"));
    preview->Export(TExportFormat::Csv);
    EXPECT_EQ(dir.Read("report.csv"), ExportCsv(h.Prepared()));
    EXPECT_TRUE(h.dialogs.messages.empty());

    h.dialogs.fileAnswers.push_back(std::nullopt);
    preview->Export(TExportFormat::Html);
    ASSERT_EQ(h.dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(h.dialogs.fileRequests[1].directory, dir.Path());
    EXPECT_EQ(h.dialogs.fileRequests[1].defaultSuffix, "html");
    EXPECT_EQ(h.dialogs.fileRequests[1].fileName, "Measured debsity values.html");
}

TEST_F(Preview, ExportThatCannotBeWrittenNamesTheFileAndLeavesNothing) {
    Open(5);
    const test::TempDir dir;
    test::SetReadOnly(dir.Path(), true);
    h.dialogs.fileAnswers.push_back(dir.File("report.pdf"));
    preview->Export(TExportFormat::Pdf);
    test::SetReadOnly(dir.Path(), false);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Cannot write the file\n" + dir.File("report.pdf") +
                                              "\n\nThere is no permission to write to this folder or file.");
    EXPECT_EQ(h.dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(h.dialogs.messages[0].parent, preview.get());
    EXPECT_EQ(h.dialogs.fileRequests.back().parent, preview.get());
    EXPECT_FALSE(QFile::exists(dir.File("report.pdf")));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(h.report.frxReport1.ExportFolder.isEmpty());
}

} // namespace
} // namespace lum1
