// What the engine gained for reports laid out as documents: several title bands, a data heading
// repeated on every page of the data, summary bands after it, "page N of M" and picture boxes.
#include "report/Report.h"
#include "report/ReportPainter.h"

#include "ReportFixture.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

using test::TextsOf;

TfrxMemoView& Memo(TfrxBand& band, const QString& name, double top, double height, const QString& text) {
    TfrxMemoView& m = band.AddMemo(name);
    m.Top = top;
    m.Width = 300;
    m.Height = height;
    m.Text = text;
    return m;
}

// A small page (A6, 10 mm margins: about 483 units of height for bands) so that a few rows
// fill it; two title bands of 150 and 250 units, a heading, rows of 40, a summary of 120.
struct TDocument {
    TfrxReport report;
    TfrxUserDataSet data;

    explicit TDocument(int rows) {
        TfrxReportPage& page = report.AddPage(QStringLiteral("Page1"));
        page.PaperWidthMm = 105;
        page.PaperHeightMm = 148;
        Memo(page.AddBand(TBandKind::ReportTitle, "Title1", 150), "T1", 0, 150, "first title");
        Memo(page.AddBand(TBandKind::ReportTitle, "Title2", 250), "T2", 0, 250, "second title");
        Memo(page.AddBand(TBandKind::Header, "Heading", 30), "H", 0, 30, "heading");
        Memo(page.AddBand(TBandKind::MasterData, "Rows", 40), "R", 0, 40, "[Row]");
        Memo(page.AddBand(TBandKind::ReportSummary, "Summary", 120), "S", 0, 120, "summary");
        Memo(page.AddBand(TBandKind::PageFooter, "Footer", 20), "F", 0, 20, "[Page#] of [TotalPages#]");
        data.RangeEnd = TfrxUserDataSet::TRangeEnd::Count;
        data.RangeEndCount = rows;
        report.DataSet = &data;
        report.OnGetValue = [this](const QString& name, QString& value) {
            if (name == u"Row")
                value = QString::number(data.RecNo() + 1);
        };
        EXPECT_TRUE(report.PrepareReport());
    }
    const TPreparedReport& Pages() const { return report.PreparedPages(); }
};

TEST(DocumentLayout, TitlesHeadingRowsSummaryAndPageOfPages) {
    const TDocument doc(12);
    const TPreparedReport& r = doc.Pages();
    const double bottom = (r.PageHeightMm - r.BottomMarginMm) * UnitsPerMm - 20; // above the footer
    // Page 1 holds both titles (400 of 464 units); the heading and the first row (70) do not
    // fit below them and go on together to page 2, which takes ten rows; page 3 the last two
    // and the summary.
    ASSERT_EQ(r.Pages.size(), 3u);
    EXPECT_EQ(TextsOf(r.Pages[0], "T1"), QStringList{"first title"});
    EXPECT_EQ(TextsOf(r.Pages[0], "T2"), QStringList{"second title"});
    EXPECT_TRUE(TextsOf(r.Pages[0], "R").isEmpty());
    EXPECT_EQ(TextsOf(r.Pages[1], "R").size(), 10);
    QStringList rows;
    for (size_t p = 0; p < r.Pages.size(); ++p) {
        const TPreparedPage& page = r.Pages[p];
        const QStringList onPage = TextsOf(page, "R");
        rows << onPage;
        // The heading stands at the top of every page with rows, above them, and nowhere else.
        const auto headings = test::BoxesOf(page, "H");
        EXPECT_EQ(headings.size(), onPage.isEmpty() ? 0u : 1u) << "page " << p + 1;
        if (!headings.empty()) {
            for (const TPreparedBox* row : test::BoxesOf(page, "R"))
                EXPECT_GT(row->Rect.top(), headings[0]->Rect.top());
        }
        for (const TPreparedBox& b : page.Boxes) {
            if (b.Name != u"F") {
                EXPECT_LE(b.Rect.bottom(), bottom + 1e-6) << b.Name.toStdString() << " on page " << p + 1;
            }
        }
        // Every footer knows how many pages there are.
        EXPECT_EQ(TextsOf(page, "F"), QStringList{QStringLiteral("%1 of %2").arg(p + 1).arg(r.Pages.size())});
    }
    QStringList expected;
    for (int i = 1; i <= 12; ++i)
        expected << QString::number(i);
    EXPECT_EQ(rows, expected);
    // The summary once, after the last row.
    const TPreparedPage& last = r.Pages.back();
    ASSERT_EQ(TextsOf(last, "S").size(), 1);
    const auto lastRows = test::BoxesOf(last, "R");
    ASSERT_FALSE(lastRows.empty());
    EXPECT_GE(test::BoxesOf(last, "S")[0]->Rect.top(), lastRows.back()->Rect.bottom() - 1e-6);
}

TEST(DocumentLayout, ATitleThatDoesNotFitMovesWholeToTheNextPage) {
    TDocument doc(0);
    // 150 + 250 fit on page 1; a third title of 200 goes whole to page 2, the summary after it.
    TfrxReportPage& page = *doc.report.Pages.front();
    TfrxBand& third = page.AddBand(TBandKind::ReportTitle, "Title3", 200);
    Memo(third, "T3", 0, 200, "third title");
    // Bands print in their kind's order whatever their place in the list.
    ASSERT_TRUE(doc.report.PrepareReport());
    const TPreparedReport& r = doc.Pages();
    ASSERT_EQ(r.Pages.size(), 2u);
    EXPECT_EQ(TextsOf(r.Pages[0], "T3"), QStringList{});
    EXPECT_EQ(TextsOf(r.Pages[1], "T3"), QStringList{"third title"});
    EXPECT_EQ(TextsOf(r.Pages[1], "S"), QStringList{"summary"});
    // No rows: no heading.
    EXPECT_TRUE(TextsOf(r.Pages[0], "H").isEmpty() && TextsOf(r.Pages[1], "H").isEmpty());
    EXPECT_EQ(TextsOf(r.Pages[1], "F"), QStringList{"2 of 2"});
}

// A drawing that fills its target.
class TFill : public TReportPicture {
public:
    QSizeF Size() const override { return {200, 100}; }
    void Draw(QPainter& painter, const QRectF& target) const override { painter.fillRect(target, Qt::red); }
};

TEST(DocumentLayout, APictureKeepsItsSizeAndProportionsAndStaysInItsBox) {
    TfrxReport report;
    TfrxReportPage& page = report.AddPage(QStringLiteral("Page1"));
    TfrxBand& band = page.AddBand(TBandKind::ReportTitle, "Band", 100);
    band.Stretched = true;
    TfrxPictureView& picture = band.AddPicture(QStringLiteral("Picture"));
    picture.Left = 0;
    picture.Width = 100;
    picture.Height = 100; // a square box for a 2:1 drawing
    picture.Picture = std::make_shared<TFill>();
    TfrxMemoView& text = band.AddMemo(QStringLiteral("Text"));
    text.Left = 120;
    text.Width = 40;
    text.Height = 20;
    text.Text = QString(200, u'x').replace(QStringLiteral("xxxx"), QStringLiteral("xxx "));
    ASSERT_TRUE(report.PrepareReport());

    const TPreparedPage& prepared = report.PreparedPages().Pages[0];
    const auto boxes = test::BoxesOf(prepared, "Picture");
    ASSERT_EQ(boxes.size(), 1u);
    // The long text stretched the band; the picture's box did not grow with it.
    EXPECT_GT(test::BoxesOf(prepared, "Text")[0]->Rect.height(), 100);
    EXPECT_EQ(boxes[0]->Rect.height(), 100);
    const QRectF fitted = FittedPictureRect(*boxes[0]->Picture, boxes[0]->Rect);
    EXPECT_EQ(fitted.size(), QSizeF(100, 50));
    EXPECT_EQ(fitted.center(), boxes[0]->Rect.center());

    // Painted at 96 dpi: red inside the fitted place, white above and below it in the box.
    QImage image(800, 1200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TReportPainter(report.PreparedPages()).PaintPage(painter, 0, 96);
    painter.end();
    EXPECT_EQ(image.pixelColor(fitted.center().toPoint()), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(QPointF(fitted.center().x(), boxes[0]->Rect.top() + 10).toPoint()),
              QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(QPointF(fitted.center().x(), boxes[0]->Rect.bottom() - 10).toPoint()),
              QColor(Qt::white));
}

} // namespace
} // namespace lum1
