#include "report/AcceptanceReport.h"

#include "acceptance/AcceptanceTexts.h"
#include "platform/FormatFloat.h"
#include "report/AcceptanceChart.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <set>

namespace lum1 {

namespace {

// The language files write the unit's 3 as "^3" for the screen; paper has the real one.
QString OnPaper(QString text) {
    return text.replace(QStringLiteral("^3"), QStringLiteral("³"));
}

// Distinct non-empty texts in the order first met, at most three, then an ellipsis.
QString Distinct(const std::vector<QString>& texts) {
    QStringList out;
    for (const QString& t : texts) {
        if (t.isEmpty() || out.contains(t))
            continue;
        if (out.size() == 3) {
            out << QStringLiteral("…");
            break;
        }
        out << t;
    }
    return out.join(QStringLiteral("; "));
}

QString Capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

QString CleanHeaderText(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const QChar::Category cat = c.category();
        if (cat == QChar::Other_Control || cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph)
            c = u' ';
    }
    out = out.simplified();
    if (out.size() > MaxHeaderText) {
        qsizetype cut = MaxHeaderText;
        // Never half of a character written as a surrogate pair.
        if (out[cut - 1].isHighSurrogate())
            --cut;
        out = out.left(cut) + QStringLiteral("…");
    }
    return out;
}

TAcceptanceHeader CompleteHeader(const TAcceptanceHeader& header, const std::vector<TLotRecord>& records,
                                 QChar separator) {
    TAcceptanceHeader h;
    for (auto [to, from] : {std::pair{&h.Organisation, &header.Organisation},
                            {&h.Project, &header.Project},
                            {&h.Road, &header.Road},
                            {&h.Lot, &header.Lot},
                            {&h.Mix, &header.Mix},
                            {&h.Layer, &header.Layer},
                            {&h.ReferenceDensity, &header.ReferenceDensity},
                            {&h.Gauge, &header.Gauge},
                            {&h.Operator, &header.Operator},
                            {&h.Dates, &header.Dates}})
        *to = CleanHeaderText(*from);

    std::vector<QString> objects, materials;
    std::set<float> references;
    QDate first, last;
    for (const TLotRecord& lr : records) {
        const TMeasRecord& r = lr.Record;
        if (r.Seconds == DeletedMark)
            continue;
        objects.push_back(FieldToText(r.ObjectName, sizeof r.ObjectName));
        materials.push_back(FieldToText(r.MaterialName, sizeof r.MaterialName));
        if (r.Mode != 2 && r.RefDensity != 0.0f && std::isfinite(r.RefDensity))
            references.insert(r.RefDensity);
        const QDate d(2000 + r.Year, r.Month, r.Day);
        if (d.isValid()) {
            if (!first.isValid() || d < first)
                first = d;
            if (!last.isValid() || d > last)
                last = d;
        }
    }
    if (h.Road.isEmpty())
        h.Road = CleanHeaderText(Distinct(objects));
    if (h.Mix.isEmpty())
        h.Mix = CleanHeaderText(Distinct(materials));
    if (h.ReferenceDensity.isEmpty() && !references.empty()) {
        h.ReferenceDensity = DensityText(*references.begin(), separator);
        if (references.size() > 1)
            h.ReferenceDensity += QStringLiteral(" – ") + DensityText(*references.rbegin(), separator);
    }
    if (h.Dates.isEmpty() && first.isValid()) {
        // Day first with points, as written in Russian; ISO in English, which no reader misreads.
        const QString format =
            separator == u',' ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("yyyy-MM-dd");
        h.Dates = first.toString(format);
        if (last != first)
            h.Dates += QStringLiteral(" – ") + last.toString(format);
    }
    return h;
}

TAcceptanceReport::TAcceptanceReport() {
    frxReport1.DataSet = &frxUserDataSet1;
    frxReport1.OnGetValue = [this](const QString& name, QString& value) { frxReport1GetValue(name, value); };
    frxUserDataSet1.RangeEnd = TfrxUserDataSet::TRangeEnd::Count;
    // Another paper: every band across the new width, the chart scaled with it.
    frxReport1.OnPageSetup = [this](TfrxReportPage& page) { BuildAcceptanceTemplate(frxReport1, options_, &page); };
}

bool TAcceptanceReport::Prepare(const TAcceptanceReportInput& input, const TAcceptanceTexts& texts,
                                QString* refusal) {
    texts_ = texts;
    context_ = TRecordTextContext::Fetch(texts.Documented, texts.EnglishUI, texts.Separator);
    acceptance_ = JudgeLot(input.Records, input.Correction, input.Limits);
    frxReport1.Pages.clear();
    input_.reset();
    if (acceptance_.Verdict == TVerdict::NoVerdict) {
        if (refusal)
            *refusal = VerdictReason(acceptance_, input.Limits, texts.Extra, texts.Separator);
        frxReport1.PrepareReport(); // an empty result: nothing of an earlier lot stays
        return false;
    }
    header_ = CompleteHeader(input.Header, input.Records, texts.Separator);

    const TAcceptanceLimits& limits = input.Limits;
    const bool compaction = limits.Quantity == TAcceptanceQuantity::Compaction;
    TAcceptanceChartData chart;
    chart.PlaceCount = static_cast<int>(input.Records.size());
    for (size_t i = 0; i < acceptance_.Points.size(); ++i) {
        const TAcceptancePoint& p = acceptance_.Points[i];
        if (p.Mark == TPointMark::NotJudged)
            continue;
        using S = TAcceptanceChartData::TPointState;
        const S state = p.Mark == TPointMark::Pass                                   ? S::Pass
                        : p.Mark == TPointMark::Below || p.Mark == TPointMark::Above ? S::Outside
                                                                                     : S::WithinTolerance;
        chart.Points.push_back({static_cast<int>(i) + 1, p.Judged, state});
    }
    chart.Lower = limits.Lower;
    chart.Upper = limits.Upper;
    chart.Mean = acceptance_.JudgedMean;
    chart.Decimals = compaction ? 3 : 0;
    chart.Title = OnPaper(Capitalised(texts.Extra(compaction ? QStringLiteral("AccQuantityCompaction")
                                                             : QStringLiteral("AccQuantityDensity"))));
    chart.AxisX = texts.Extra(QStringLiteral("AccChartPoint"));
    chart.LimitText = texts.Extra(QStringLiteral("AccChartLimit"));
    chart.MeanText = texts.Extra(QStringLiteral("AccChartMean"));
    chart.Separator = texts.Separator;

    TAcceptanceTemplateOptions& options = options_;
    options = {};
    options.Chart = std::make_shared<TAcceptanceChart>(std::move(chart));
    if (!input.Logo.isNull())
        options.Logo = std::make_shared<TImagePicture>(input.Logo);
    options.Organisation = !header_.Organisation.isEmpty();
    options.Above = limits.Upper.has_value();
    options.Pwl = acceptance_.Pwl.has_value();
    options.PageOf = texts.Extra(QStringLiteral("AccPageOf"));
    BuildAcceptanceTemplate(frxReport1, options_);
    FillValues(input);

    const QString title = texts.Extra(QStringLiteral("AccReportTitle"));
    frxReport1.DocumentInfo = {header_.Lot.isEmpty() ? title : title + QStringLiteral(" – ") + header_.Lot,
                               header_.Organisation.isEmpty() ? texts.ApplicationTitle : header_.Organisation,
                               title, texts.ApplicationTitle};
    frxUserDataSet1.RangeEndCount = static_cast<int>(input.Records.size());
    input_ = std::make_shared<const TAcceptanceReportInput>(input);
    return frxReport1.PrepareReport();
}

void TAcceptanceReport::FillValues(const TAcceptanceReportInput& input) {
    const auto extra = [this](const char* key) { return OnPaper(texts_.Extra(QString::fromLatin1(key))); };
    const auto documented = [this](const char* key) { return texts_.Documented(QString::fromLatin1(key)); };
    const QChar sep = texts_.Separator;
    const TAcceptanceLimits& limits = input.Limits;
    const TLotAcceptance& a = acceptance_;
    const QString compactionName = documented("Compaction1") + u' ' + documented("Compaction2");
    values_.clear();
    auto set = [this](const char* name, const QString& value) {
        values_.insert(QString::fromLatin1(name), value);
    };

    set("Organisation", header_.Organisation);
    set("Title", extra("AccReportTitle"));
    set("ProjectLabel", extra("AccProject"));
    set("Project", header_.Project);
    set("LotLabel", extra("AccLot"));
    set("Lot", header_.Lot);
    set("RoadLabel", extra("AccRoad"));
    set("Road", header_.Road);
    set("LayerLabel", extra("AccLayer"));
    set("Layer", header_.Layer);
    set("MixLabel", extra("AccMix"));
    set("Mix", header_.Mix);
    set("ReferenceLabel", extra("AccRefDensity"));
    set("Reference", header_.ReferenceDensity);
    set("GaugeLabel", extra("AccGauge"));
    set("Gauge", header_.Gauge);
    set("OperatorLabel", extra("AccOperator"));
    set("Operator", header_.Operator);
    set("DatesLabel", extra("AccDates"));
    set("Dates", header_.Dates);
    set("LimitsLabel", extra("AccLimits"));
    set("Limits", OnPaper(LimitsText(limits, texts_.Extra, sep)));
    set("RuleLabel", extra("AccRule"));
    set("Rule", OnPaper(RuleText(limits, texts_.Extra, sep)));

    set("SummaryHeading", extra("AccSummary"));
    set("QuantityHead", extra("LotQuantity"));
    set("CountHead", extra("AccCount"));
    set("MeanHead", extra("LotMean"));
    set("SDHead", extra("LotSD"));
    set("MinHead", extra("LotMin"));
    set("MaxHead", extra("LotMax"));
    const struct {
        const char* row;
        QString name;
        const TQuantityStats& stats;
        TQuantity quantity;
    } summary[] = {
        {"Gauge", extra("AccGaugeDensity"), a.Gauge, TQuantity::Density},
        {"Corrected", extra("AccCorrectedDensity"), a.Density, TQuantity::Density},
        {"Compaction", compactionName, a.Compaction, TQuantity::Compaction},
    };
    for (const auto& s : summary) {
        const QString row = QString::fromLatin1(s.row);
        values_.insert(row + QStringLiteral("Name"), s.name);
        values_.insert(row + QStringLiteral("Count"), QString::number(s.stats.Used));
        values_.insert(row + QStringLiteral("Mean"), MeanText(s.quantity, s.stats, sep));
        values_.insert(row + QStringLiteral("SD"), SDText(s.quantity, s.stats, sep));
        values_.insert(row + QStringLiteral("Min"), MinText(s.quantity, s.stats, sep));
        values_.insert(row + QStringLiteral("Max"), MaxText(s.quantity, s.stats, sep));
    }
    set("Below", extra("LotBelow").arg(a.Below).arg(a.Judged).arg(FormatFloat(a.ShareBelow(), u"#0.0", sep)));
    set("Above", extra("AccAboveShare")
                     .arg(a.Above)
                     .arg(a.Judged)
                     .arg(FormatFloat(a.Judged ? 100.0 * a.Above / a.Judged : 0.0, u"#0.0", sep)));
    if (a.Pwl)
        set("PwlLine", PwlText(*a.Pwl, limits.PwlThreshold, texts_.Extra, sep));
    set("VerdictLabel", extra("AccVerdict"));
    set("Verdict", VerdictText(a.Verdict, texts_.Extra));
    set("Reason", OnPaper(VerdictReason(a, limits, texts_.Extra, sep)));
    set("ChartHeading", extra("AccChart"));
    set("CorrelationHeading", extra("AccCorrelation"));
    QStringList correlation{CorrectionText(input.Correction, texts_.Extra, sep)};
    const QString description = CleanHeaderText(input.Correction.Description);
    if (!description.isEmpty())
        correlation.front() = description + QStringLiteral(": ") + correlation.front();
    for (const TAcceptanceIssue& note : input.Correction.Notes)
        correlation << AcceptanceIssueText(note, texts_.Extra, sep);
    set("Correlation", OnPaper(correlation.join(u'\n')));
    set("PointsHeading", extra("AccPoints"));
    set("NoHead", QStringLiteral("№"));
    set("RecordHead", extra("AccRecord"));
    set("TimeHead", documented("DateTime"));
    set("GaugeHead", extra("AccGaugeDensity"));
    set("CorrectedHead", extra("AccCorrectedDensity"));
    set("CompactionHead", compactionName);
    set("PorosityHead", documented("Porosity") + QStringLiteral(", %"));
    set("ResultHead", extra("AccResult"));
    set("SignName", extra("AccSignName"));
    set("Signature", extra("AccSignature"));
    set("SignDate", extra("AccSignDate"));
    set("TestedBy", extra("AccTestedBy"));
    set("TestedName", header_.Operator);
    set("CheckedBy", extra("AccCheckedBy"));
    set("Footer", header_.Lot.isEmpty() ? extra("AccReportTitle")
                                        : extra("AccReportTitle") + QStringLiteral(" · ") + header_.Lot);
}

QString TAcceptanceReport::PointValue(const QString& name, int recNo) const {
    if (!input_ || recNo < 0 || recNo >= static_cast<int>(input_->Records.size()))
        return QString();
    const TMeasRecord& r = input_->Records[static_cast<size_t>(recNo)].Record;
    const TAcceptancePoint& p = acceptance_.Points[static_cast<size_t>(recNo)];
    const QChar sep = texts_.Separator;
    if (name == u"PointNo")
        return QString::number(recNo + 1);
    if (name == u"PointRecord")
        return NumberText(r);
    if (name == u"PointTime")
        return DateTimeText(r, context_);
    if (name == u"PointGauge")
        return DensityTexts(r, context_).Density;
    if (name == u"PointCorrected")
        return DensityText(p.Corrected, sep);
    if (name == u"PointCompaction")
        return std::isfinite(p.Compaction) ? FormatFloat(p.Compaction, u"#0.000", sep) : QString();
    if (name == u"PointPorosity")
        return std::isfinite(p.Porosity) ? FormatFloat(p.Porosity, u"#0.0", sep) : QString();
    if (name == u"PointResult")
        return PointMarkText(p.Mark, texts_.Extra);
    return QString();
}

void TAcceptanceReport::frxReport1GetValue(const QString& name, QString& value) const {
    if (name.startsWith(u"Point") && name != u"PointsHeading")
        value = PointValue(name, frxUserDataSet1.RecNo());
    else
        value = values_.value(name);
}

} // namespace lum1
