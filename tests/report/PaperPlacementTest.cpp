// Every way out of the preview puts the report at the same place on the paper: the PDF export,
// a print through the print command's own printer set-up, and the preview's page picture.
#include "report/PdfExport.h"
#include "report/ReportPreview.h"

#include "ReportFixture.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>

namespace lum1 {
namespace {

using test::ReportHarness;

constexpr double kMmPerPoint = 25.4 / 72.0;
constexpr double kTolerance = 0.5; // mm

struct TWordBox {
    QString Text;
    double Left, Top, Right, Bottom; // mm from the paper's top-left corner
};

// The words of page 1 with their boxes, as pdftotext reads them.
std::vector<TWordBox> WordsOfFirstPage(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
             QStringLiteral("1"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<TWordBox> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble() * kMmPerPoint,
                         m.captured(2).toDouble() * kMmPerPoint, m.captured(3).toDouble() * kMmPerPoint,
                         m.captured(4).toDouble() * kMmPerPoint});
    }
    return words;
}

// The places that show where the report stands: the heading "№" and the page number at the
// foot (the lowest word of the page).
struct TLandmarks {
    std::optional<TWordBox> Number, Footer;
};

TLandmarks Landmarks(const QString& pdf) {
    TLandmarks l;
    for (const TWordBox& w : WordsOfFirstPage(pdf)) {
        if (w.Text == u"№" && !l.Number)
            l.Number = w;
        if (!l.Footer || w.Bottom > l.Footer->Bottom)
            l.Footer = w;
    }
    return l;
}

void ExpectSamePlace(const TWordBox& a, const TWordBox& b, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_NEAR(a.Left, b.Left, kTolerance);
    EXPECT_NEAR(a.Top, b.Top, kTolerance);
    EXPECT_NEAR(a.Right, b.Right, kTolerance);
    EXPECT_NEAR(a.Bottom, b.Bottom, kTolerance);
}

// The dark pixels' extent on a page picture, in mm from the paper's corner.
struct TInk {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// paper: where the paper lies in the picture. Light grey counts as ink too, so that text the
// preview washes out in the margins is still found.
TInk InkOf(const QImage& picture, const QRect& paper, double paperWidthMm) {
    const double mmPerPixel = paperWidthMm / paper.width();
    int left = paper.right(), right = paper.left(), top = paper.bottom(), bottom = paper.top();
    for (int y = paper.top(); y <= paper.bottom(); ++y)
        for (int x = paper.left(); x <= paper.right(); ++x)
            if (qGray(picture.pixel(x, y)) < 235) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    return {(left - paper.left()) * mmPerPixel, (top - paper.top()) * mmPerPixel,
            (right - paper.left()) * mmPerPixel, (bottom - paper.top()) * mmPerPixel};
}

// The white paper in the preview's picture: its top edge is the first line with a long white
// run, its left edge the start of that run; the paper's left border column is white down to its
// bottom edge.
QRect PaperIn(const QImage& picture) {
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < picture.height(); ++y) {
        int x = 0;
        while (x < picture.width() && picture.pixel(x, y) != white)
            ++x;
        int right = x;
        while (right < picture.width() && picture.pixel(right, y) == white)
            ++right;
        if (right - x < 100)
            continue;
        int bottom = y;
        while (bottom < picture.height() && picture.pixel(x, bottom) == white)
            ++bottom;
        return QRect(x, y, right - x, bottom - y);
    }
    return {};
}

QImage RenderFirstPage(const QString& pdf, int dpi) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QStringLiteral("1"),
             QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"), pdf});
    EXPECT_TRUE(p.waitForFinished(60000));
    return QImage::fromData(p.readAllStandardOutput(), "PNG");
}

class PaperPlacement : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        h = std::make_unique<ReportHarness>(GetParam());
        h->rows = test::NumberedRows(70);
        h->Print();
        h->report.frxReport1.Resources.UseBuiltIn(GetParam());
        exported = dir.File("exported.pdf");
        dir.Write("exported.pdf", ExportPdf(h->Prepared(), h->report.frxReport1.DocumentInfo));
    }

    test::TempDir dir;
    std::unique_ptr<ReportHarness> h;
    QString exported;
};

TEST_P(PaperPlacement, APrintedPageMatchesThePdfExport) {
    TReportPreview preview(h->report.frxReport1);
    preview.execPrintDialog = [](QPrinter&) { return true; };
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.File("printed.pdf"));
    ASSERT_TRUE(preview.PrintWith(printer));

    const TLandmarks want = Landmarks(exported), got = Landmarks(dir.File("printed.pdf"));
    ASSERT_TRUE(want.Number && want.Footer && got.Number && got.Footer);
    // The export itself stands where the template puts it: "№" in the first column from 20 mm,
    // the page number inside the bottom margin's line at 200 mm.
    EXPECT_GT(want.Number->Left, 20.0);
    EXPECT_LT(want.Number->Right, 20.0 + 12.0);
    EXPECT_LT(want.Footer->Bottom, 200.0);
    EXPECT_GT(want.Footer->Bottom, 194.0);
    ExpectSamePlace(*got.Number, *want.Number, "№");
    ExpectSamePlace(*got.Footer, *want.Footer, "page number");
}

// The preview's "Whole page" picture against page 1 of the PDF export, both in mm on the paper.
void ExpectPreviewMatchesExport(TReportPreview& preview, const QString& exported, double paperWidthMm,
                                double paperHeightMm) {
    preview.setWindowState(Qt::WindowNoState);
    preview.resize(1600, 1200);
    preview.show();
    preview.findChild<QAction*>(QStringLiteral("WholePageAction"))->trigger();
    QCoreApplication::processEvents();
    const QImage shown = preview.View()->grab().toImage();
    const QRect paper = PaperIn(shown);
    // The whole page is in view.
    ASSERT_GT(paper.height(), 600);
    ASSERT_NEAR(double(paper.width()) / paper.height(), paperWidthMm / paperHeightMm, 0.01);
    const TInk got = InkOf(shown, paper, paperWidthMm);

    const QImage printed = RenderFirstPage(exported, 150);
    ASSERT_FALSE(printed.isNull());
    const TInk want = InkOf(printed, printed.rect(), paperWidthMm);
    // One pixel of the preview's picture is about 0.25 mm.
    const double tolerance = kTolerance + paperWidthMm / paper.width();
    EXPECT_NEAR(got.Left, want.Left, tolerance);
    EXPECT_NEAR(got.Top, want.Top, tolerance);
    EXPECT_NEAR(got.Right, want.Right, tolerance);
    EXPECT_NEAR(got.Bottom, want.Bottom, tolerance);
}

TEST_P(PaperPlacement, ThePreviewsWholePageMatchesThePdfExport) {
    // The export stands where the template puts it: the table's left frame at 20 mm, the whole
    // table and the page number on the paper.
    const QImage printed = RenderFirstPage(exported, 150);
    ASSERT_FALSE(printed.isNull());
    const TInk want = InkOf(printed, printed.rect(), 297.0);
    EXPECT_NEAR(want.Left, 20.0, kTolerance);
    EXPECT_LT(want.Right, 297.0 - 5.0);
    EXPECT_LT(want.Bottom, 200.0);

    TReportPreview preview(h->report.frxReport1);
    ExpectPreviewMatchesExport(preview, exported, 297.0, 210.0);
}

TEST_P(PaperPlacement, AfterAPageSetupThePreviewMatchesTheExportOfTheNewPaper) {
    h->report.ShowReport = [this](TfrxReport& report) {
        TReportPreview preview(report);
        preview.show();
        preview.ApplyPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait,
                                            QMarginsF(15, 12, 8, 20), QPageLayout::Millimeter));
        dir.Write("a5.pdf", ExportPdf(report.PreparedPages(), report.DocumentInfo));
        ExpectPreviewMatchesExport(preview, dir.File("a5.pdf"), 148.0, 210.0);
    };
    h->Print();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, PaperPlacement, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "English" : "Russian"; });

} // namespace
} // namespace lum1
