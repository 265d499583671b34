#include "report/MeasurementReport.h"

namespace lum1 {

namespace {

struct TColumnMemos {
    const char16_t* heading;
    const char16_t* data;
    double left;
    double width;
};

// Heading text, data text, and the place the template gives the column before the grid's
// widths replace it.
const TColumnMemos kColumns[ReportColumns] = {
    {u"№", u"[№№]", 0, 45.354},
    {u"[ДатаВремяЗ]", u"[ДатаВремя]", 45.354, 139.843},
    {u"[ПлотностьЗ]", u"[Плотность]", 185.197, 79.370},
    {u"[КуЗ]", u"[Ку]", 264.567, 68.031},
    {u"[PorosityЗ]", u"[Porosity]", 332.599, 68.031},
    {u"[ТемператураЗ]", u"[Температура]", 400.630, 75.591},
    {u"[ОбъектЗ]", u"[Объект]", 476.221, 128.504},
    {u"[КоординатыЗ]", u"[Координаты]", 604.725, 136.063},
    {u"[МатериалЗ]", u"[Материал]", 740.788, 136.063},
    {u"[ТолщинаЗ]", u"[Толщина]", 876.851, 75.591},
    {u"[К-воЗамеровЗ]", u"[К-воЗамеров]", 952.442, 75.591},
};

TfrxMemoView& AddMemo(TfrxBand& band, const QString& name, double left, double top, double width,
                      double height, int pixelSize, bool bold, bool frame, const QString& text) {
    TfrxMemoView& m = band.AddMemo(name);
    m.Left = left;
    m.Top = top;
    m.Width = width;
    m.Height = height;
    m.Font.Family = QStringLiteral("Times New Roman");
    m.Font.PixelSize = pixelSize;
    m.Font.Bold = bold;
    m.Frame = frame;
    m.Text = text;
    return m;
}

} // namespace

void BuildMeasurementTemplate(TfrxReport& report) {
    report.Pages.clear();
    TfrxReportPage& page = report.AddPage(QStringLiteral("Page1"));
    page.PaperWidthMm = 210; // A4, lying
    page.PaperHeightMm = 297;
    page.Orientation = TPageOrientation::Landscape;
    page.LeftMarginMm = 20;
    page.RightMarginMm = 5;
    page.TopMarginMm = 10;
    page.BottomMarginMm = 10;
    const double bandWidth = page.UsableWidth();

    TfrxBand& title = page.AddBand(TBandKind::ReportTitle, QStringLiteral("ReportTitle1"), 37.795);
    AddMemo(title, QStringLiteral("Memo2"), 0, 0, bandWidth, 26.457, 21, true, false,
            QStringLiteral("[Заголовок]"));

    TfrxBand& header = page.AddBand(TBandKind::PageHeader, QStringLiteral("PageHeader1"), 37.795);
    // A heading that needs a third line in a narrow column makes the heading row taller
    // instead of being cut off at its frame.
    header.Stretched = true;
    TfrxBand& data = page.AddBand(TBandKind::MasterData, QStringLiteral("MasterData1"), 18.898);
    data.Stretched = true;
    for (int c = 0; c < ReportColumns; ++c) {
        const TColumnMemos& col = kColumns[c];
        TfrxMemoView& heading = AddMemo(header, QStringLiteral("Memo%1").arg(100 + c), col.left, 0, col.width,
                                        37.795, 13, true, true, QString::fromUtf16(col.heading));
        // The density heading carries its unit with a raised 3.
        heading.AllowHTMLTags = c == 2;
        AddMemo(data, QStringLiteral("Memo%1").arg(200 + c), col.left, 0, col.width, 18.898, 13, false, true,
                QString::fromUtf16(col.data));
    }

    TfrxBand& footer = page.AddBand(TBandKind::PageFooter, QStringLiteral("PageFooter1"), 22.677);
    AddMemo(footer, QStringLiteral("Memo1"), 0, 3.780, bandWidth, 18.898, 13, false, false,
            QStringLiteral("- [Page#] -"));
}

} // namespace lum1
