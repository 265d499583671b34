#include "report/AcceptanceReport.h"

#include "report/AcceptanceChart.h"

namespace lum1 {

namespace {

struct TMemoPlace {
    double left, top, width, height;
};

TfrxMemoView& AddMemo(TfrxBand& band, const QString& name, TMemoPlace at, int pixelSize, bool bold,
                      bool frame, bool centred) {
    TfrxMemoView& m = band.AddMemo(name);
    m.Left = at.left;
    m.Top = at.top;
    m.Width = at.width;
    m.Height = at.height;
    m.Font.PixelSize = pixelSize;
    m.Font.Bold = bold;
    m.Frame = frame;
    m.HCentred = centred;
    m.Text = QStringLiteral("[%1]").arg(name);
    return m;
}

// A band that holds one text across the page.
void TextBand(TfrxReportPage& page, TBandKind kind, const QString& name, double height, double top,
              int pixelSize, bool bold) {
    TfrxBand& band = page.AddBand(kind, name + QStringLiteral("Band"), height);
    band.Stretched = true;
    AddMemo(band, name, {0, top, page.UsableWidth(), height - top}, pixelSize, bold, false, false);
}

// A section's title at the top of the band that starts the section, so the two never part at
// the foot of a page. Returns the height it takes.
double Caption(TfrxBand& band, const QString& name, double width) {
    TfrxMemoView& m = AddMemo(band, name, {0, 12, width, 20}, 15, true, false, false);
    // Stretched with its band, the title stays at the top.
    m.VCentred = false;
    return 32;
}

// Framed cells side by side, one band, under a section title when one is named.
void RowBand(TfrxReportPage& page, TBandKind kind, const QString& name, const std::vector<double>& widths,
             const QStringList& cells, double height, bool bold, int centredFrom,
             const QString& caption = {}) {
    TfrxBand& band = page.AddBand(kind, name, height);
    band.Stretched = true;
    const double top = caption.isEmpty() ? 0 : Caption(band, caption, page.UsableWidth());
    band.Height += top;
    double left = 0;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const double w = widths[static_cast<size_t>(i)];
        AddMemo(band, cells[i], {left, top, w, height}, 12, bold, true, i >= centredFrom);
        left += w;
    }
}

} // namespace

void BuildAcceptanceTemplate(TfrxReport& report, const TAcceptanceTemplateOptions& options,
                             const TfrxReportPage* paper) {
    TfrxReportPage setup(QStringLiteral("Page1"));
    setup.PaperWidthMm = 210; // A4, upright: the list of points has few columns
    setup.PaperHeightMm = 297;
    setup.Orientation = TPageOrientation::Portrait;
    setup.LeftMarginMm = 20;
    setup.RightMarginMm = 10;
    setup.TopMarginMm = 10;
    setup.BottomMarginMm = 10;
    if (paper) { // copied before the pages go: it may be one of them
        setup.PaperWidthMm = paper->PaperWidthMm;
        setup.PaperHeightMm = paper->PaperHeightMm;
        setup.Orientation = paper->Orientation;
        setup.LeftMarginMm = paper->LeftMarginMm;
        setup.RightMarginMm = paper->RightMarginMm;
        setup.TopMarginMm = paper->TopMarginMm;
        setup.BottomMarginMm = paper->BottomMarginMm;
    }
    report.Pages.clear();
    TfrxReportPage& page = report.AddPage(setup.Name);
    page.PaperWidthMm = setup.PaperWidthMm;
    page.PaperHeightMm = setup.PaperHeightMm;
    page.Orientation = setup.Orientation;
    page.LeftMarginMm = setup.LeftMarginMm;
    page.RightMarginMm = setup.RightMarginMm;
    page.TopMarginMm = setup.TopMarginMm;
    page.BottomMarginMm = setup.BottomMarginMm;
    const double w = page.UsableWidth();
    const TBandKind title = TBandKind::ReportTitle;

    if (options.Organisation || options.Logo) {
        const double height = options.Logo ? 76 : 24;
        TfrxBand& band = page.AddBand(title, QStringLiteral("OrganisationBand"), height);
        band.Stretched = true;
        double left = 0;
        if (options.Logo) {
            TfrxPictureView& logo = band.AddPicture(QStringLiteral("Logo"));
            logo.Width = 151; // 40 x 20 mm
            logo.Height = 76;
            logo.Picture = options.Logo;
            left = 163;
        }
        AddMemo(band, QStringLiteral("Organisation"), {left, 0, w - left, height}, 15, true, false, false);
    }
    TextBand(page, title, QStringLiteral("Title"), 40, 6, 21, true);
    if (TfrxMemoView* t = report.FindObject(QStringLiteral("Title")))
        t->HCentred = true;

    // The header: label and value, twice a line.
    const std::vector<double> header{128, 212, 128, w - 468};
    const QStringList rows[] = {
        {"ProjectLabel", "Project", "LotLabel", "Lot"},
        {"RoadLabel", "Road", "LayerLabel", "Layer"},
        {"MixLabel", "Mix", "ReferenceLabel", "Reference"},
        {"GaugeLabel", "Gauge", "OperatorLabel", "Operator"},
        {"DatesLabel", "Dates", "LimitsLabel", "Limits"},
    };
    int row = 0;
    for (const QStringList& cells : rows) {
        TfrxBand& band = page.AddBand(title, QStringLiteral("HeaderRow%1").arg(++row), 19);
        band.Stretched = true;
        double left = 0;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            AddMemo(band, cells[i], {left, 0, header[static_cast<size_t>(i)], 19}, 12, i % 2 == 0, true,
                    false);
            left += header[static_cast<size_t>(i)];
        }
    }
    RowBand(page, title, QStringLiteral("HeaderRule"), {header[0], w - header[0]}, {"RuleLabel", "Rule"}, 19,
            false, 2);
    if (TfrxMemoView* label = report.FindObject(QStringLiteral("RuleLabel")))
        label->Font.Bold = true;

    // The summary.
    const double cell = (w - 236 - 56) / 4;
    const std::vector<double> summary{236, 56, cell, cell, cell, cell};
    RowBand(page, title, QStringLiteral("SummaryHead"), summary,
            {"QuantityHead", "CountHead", "MeanHead", "SDHead", "MinHead", "MaxHead"}, 19, true, 0,
            QStringLiteral("SummaryHeading"));
    for (const char* q : {"Gauge", "Corrected", "Compaction"}) {
        const QString n = QString::fromLatin1(q);
        RowBand(page, title, n + QStringLiteral("Row"), summary,
                {n + "Name", n + "Count", n + "Mean", n + "SD", n + "Min", n + "Max"}, 19, false, 1);
    }
    TextBand(page, title, QStringLiteral("Below"), 24, 6, 13, false);
    if (options.Above)
        TextBand(page, title, QStringLiteral("Above"), 18, 0, 13, false);
    if (options.Pwl)
        TextBand(page, title, QStringLiteral("PwlLine"), 18, 0, 13, false);
    {
        TfrxBand& band = page.AddBand(title, QStringLiteral("VerdictBand"), 42);
        AddMemo(band, QStringLiteral("VerdictLabel"), {0, 8, 150, 30}, 15, true, false, false);
        AddMemo(band, QStringLiteral("Verdict"), {150, 8, w - 150, 30}, 19, true, true, true);
        TfrxBand& reason = page.AddBand(title, QStringLiteral("ReasonBand"), 20);
        reason.Stretched = true;
        AddMemo(reason, QStringLiteral("Reason"), {150, 2, w - 150, 18}, 13, false, false, true);
    }

    // The chart.
    {
        const double height = TAcceptanceChart::Height * w / TAcceptanceChart::Width;
        TfrxBand& band = page.AddBand(title, QStringLiteral("ChartBand"), height + 36);
        const double top = Caption(band, QStringLiteral("ChartHeading"), w);
        TfrxPictureView& chart = band.AddPicture(QStringLiteral("Chart"));
        chart.Top = top + 2;
        chart.Width = w;
        chart.Height = height;
        chart.Picture = options.Chart;
    }

    // The correlation used.
    {
        TfrxBand& band = page.AddBand(title, QStringLiteral("CorrelationBand"), 50);
        band.Stretched = true;
        const double top = Caption(band, QStringLiteral("CorrelationHeading"), w);
        AddMemo(band, QStringLiteral("Correlation"), {0, top, w, 18}, 13, false, false, false).VCentred =
            false;
    }

    // The points: the section's title and the column headings repeated on every page of the list.
    const std::vector<double> columns{30, 54, 140, 84, 88, 84, 76, w - 556};
    const QStringList heads{"NoHead",        "RecordHead",     "TimeHead",     "GaugeHead",
                            "CorrectedHead", "CompactionHead", "PorosityHead", "ResultHead"};
    RowBand(page, TBandKind::Header, QStringLiteral("PointsHeader"), columns, heads, 30, true, 0,
            QStringLiteral("PointsHeading"));
    const QStringList cells{"PointNo",        "PointRecord",     "PointTime",     "PointGauge",
                            "PointCorrected", "PointCompaction", "PointPorosity", "PointResult"};
    RowBand(page, TBandKind::MasterData, QStringLiteral("PointsData"), columns, cells, 17, false, 0);

    // Signatures, after the list: one band, so the table never parts from its heading.
    {
        const std::vector<double> sign{150, 210, 170, w - 530};
        TfrxBand& band =
            page.AddBand(TBandKind::ReportSummary, QStringLiteral("SignatureBand"), 24 + 19 + 2 * 34);
        const QStringList head{"SignRole", "SignName", "Signature", "SignDate"};
        const QStringList tested{"TestedBy", "TestedName", "TestedSign", "TestedDate"};
        const QStringList checked{"CheckedBy", "CheckedName", "CheckedSign", "CheckedDate"};
        double left = 0;
        for (size_t i = 0; i < sign.size(); ++i) {
            const auto c = static_cast<qsizetype>(i);
            AddMemo(band, head[c], {left, 24, sign[i], 19}, 12, true, true, true);
            AddMemo(band, tested[c], {left, 43, sign[i], 34}, 12, i == 0, true, i > 0);
            AddMemo(band, checked[c], {left, 77, sign[i], 34}, 12, i == 0, true, i > 0);
            left += sign[i];
        }
    }

    TfrxBand& footer = page.AddBand(TBandKind::PageFooter, QStringLiteral("PageFooter1"), 22);
    AddMemo(footer, QStringLiteral("Footer"), {0, 6, w - 170, 16}, 11, false, false, false);
    TfrxMemoView& pageOf =
        AddMemo(footer, QStringLiteral("PageOf"), {w - 170, 6, 170, 16}, 11, false, false, true);
    // The page numbers are the engine's own names, placed in the language's sentence.
    QString text = options.PageOf;
    text.replace(QStringLiteral("%1"), QStringLiteral("[Page#]"));
    text.replace(QStringLiteral("%2"), QStringLiteral("[TotalPages#]"));
    pageOf.Text = text;
}

} // namespace lum1
