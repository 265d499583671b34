#include "stats/LotStatistics.h"

#include "platform/FormatFloat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lum1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Finite(double v) {
    return std::isfinite(v) ? v : kNaN;
}

size_t Index(TQuantity q) {
    return static_cast<size_t>(q);
}

} // namespace

bool IsDeletedRecord(const TMeasRecord& r) {
    return r.Seconds == DeletedMark;
}

TRecordValues RecordValues(const TMeasRecord& r) {
    TRecordValues v;
    v.Value.fill(kNaN);
    // A mode-2 density is another kind of reading (shown with its mark and four decimals): it
    // has no compaction factor and would distort a mean of densities in kg/m3.
    if (r.Mode != 2) {
        const double density = r.Density;
        v.Value[Index(TQuantity::Density)] = Finite(density);
        if (r.RefDensity != 0.0f && std::isfinite(density)) {
            const double ratio = density / static_cast<double>(r.RefDensity);
            if (std::isfinite(ratio)) {
                v.Value[Index(TQuantity::Compaction)] = ratio;
                // The porosity as the table shows it: clamped to 0..100, then narrowed.
                double porosity = (1.0 - ratio) * 100.0;
                porosity = porosity < 0.0 ? 0.0 : porosity > 100.0 ? 100.0 : static_cast<float>(porosity);
                v.Value[Index(TQuantity::Porosity)] = porosity;
            }
        }
    }
    v.Value[Index(TQuantity::Temperature)] = Finite(r.Temperature);
    v.Value[Index(TQuantity::Thickness)] = r.Thickness;
    return v;
}

double ShownCompaction(const TMeasRecord& r) {
    if (r.Mode == 2 || r.RefDensity == 0.0f)
        return kNaN;
    const double ratio = static_cast<double>(r.Density) / static_cast<double>(r.RefDensity);
    if (!std::isfinite(ratio))
        return kNaN;
    // Rounded exactly as the table prints it, so that the mark agrees with the text.
    return FormatFloat(ratio, u"#0.000", u'.').toDouble();
}

bool BelowMinimum(const TMeasRecord& r, double minCompaction) {
    if (IsDeletedRecord(r))
        return false;
    const double shown = ShownCompaction(r);
    return std::isfinite(shown) && shown < minCompaction;
}

TLotStatistics ComputeLotStatistics(const TRecordStore& store, std::span<const int> records,
                                    double minCompaction) {
    TLotStatistics s;
    s.MinCompaction = minCompaction;
    std::array<double, QuantityCount> sum{};
    std::array<std::vector<double>, QuantityCount> values;
    for (auto& v : values)
        v.reserve(records.size());
    const int count = std::clamp(store.RecordCount.load(), 0, MaxRecords);
    for (int index : records) {
        if (index < 0 || index >= count)
            continue;
        const TMeasRecord& r = store.Records[static_cast<size_t>(index)];
        ++s.Total;
        if (IsDeletedRecord(r)) {
            ++s.Deleted;
            continue;
        }
        const TRecordValues rv = RecordValues(r);
        for (size_t q = 0; q < QuantityCount; ++q) {
            const double x = rv.Value[q];
            if (std::isnan(x))
                continue;
            values[q].push_back(x);
            sum[q] += x;
        }
        const double shown = ShownCompaction(r);
        if (std::isfinite(shown)) {
            ++s.Judged;
            if (shown < minCompaction)
                ++s.Below;
        }
    }
    for (size_t q = 0; q < QuantityCount; ++q) {
        TQuantityStats& st = s.Quantities[q];
        const std::vector<double>& xs = values[q];
        st.Used = static_cast<int>(xs.size());
        if (xs.empty())
            continue;
        const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
        st.Min = *lo;
        st.Max = *hi;
        if (st.Min == st.Max) {
            // Equal values have exactly their value as the mean and no spread, whatever the
            // rounding of the sum would make of them.
            st.Mean = st.Min;
            st.SD = 0.0;
            continue;
        }
        st.Mean = sum[q] / static_cast<double>(xs.size());
        if (xs.size() > 1) {
            double squares = 0.0;
            for (double x : xs)
                squares += (x - st.Mean) * (x - st.Mean);
            st.SD = std::sqrt(squares / static_cast<double>(xs.size() - 1));
        }
    }
    return s;
}

TQuantityStats DescribeValues(std::span<const double> xs) {
    TQuantityStats st;
    st.Used = static_cast<int>(xs.size());
    if (xs.empty())
        return st;
    const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
    st.Min = *lo;
    st.Max = *hi;
    if (st.Min == st.Max) {
        st.Mean = st.Min;
        return st;
    }
    double sum = 0.0;
    for (double x : xs)
        sum += x;
    st.Mean = sum / static_cast<double>(xs.size());
    double squares = 0.0;
    for (double x : xs)
        squares += (x - st.Mean) * (x - st.Mean);
    st.SD = std::sqrt(squares / static_cast<double>(xs.size() - 1));
    return st;
}

const TQuantityStats& CorrectedStats(const TCorrectedStatistics& s, TQuantity q) {
    return q == TQuantity::Compaction ? s.Compaction : q == TQuantity::Porosity ? s.Porosity : s.Density;
}

std::optional<double> ParseMinCompaction(const QString& text) {
    QString t = text.trimmed();
    if (t.count(u',') == 1 && !t.contains(u'.'))
        t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0.0 || v > 2.0)
        return std::nullopt;
    return v;
}

std::vector<int> LotRecords(const std::vector<int>& selected, const std::vector<int>& all, bool* selection) {
    const bool useSelection = selected.size() >= 2;
    if (selection)
        *selection = useSelection;
    return useSelection ? selected : all;
}

// ---- texts

TLotLabels LotLabels(const std::function<QString(const QString&)>& extra,
                     const std::function<QString(const QString&)>& documented) {
    auto e = [&extra](const char* key) { return extra(QString::fromLatin1(key)); };
    auto d = [&documented](const char* key) { return documented(QString::fromLatin1(key)); };
    TLotLabels l;
    l.Quantity[Index(TQuantity::Density)] = d("Dens") + QStringLiteral(", ") + d("KgM3");
    l.Quantity[Index(TQuantity::Compaction)] = d("Compaction1") + u' ' + d("Compaction2");
    l.Quantity[Index(TQuantity::Porosity)] = d("Porosity") + QStringLiteral(", %");
    l.Quantity[Index(TQuantity::Temperature)] = d("Temperature") + QStringLiteral(", °C");
    l.Quantity[Index(TQuantity::Thickness)] = d("Thickness1") + u' ' + d("Thickness2");
    l.QuantityHeader = e("LotQuantity");
    l.Used = e("LotUsed");
    l.Total = e("LotTotal");
    l.BelowCount = e("LotBelowCount");
    l.Judged = e("LotJudged");
    l.BelowShare = e("LotBelowShare");
    l.Mean = e("LotMean");
    l.SD = e("LotSD");
    l.Min = e("LotMin");
    l.Max = e("LotMax");
    l.Rows = e("LotRows");
    l.Selected = e("LotSelected");
    l.Whole = e("LotWhole");
    l.Deleted = e("LotDeleted");
    l.Below = e("LotBelow");
    l.BelowNone = e("LotBelowNone");
    l.MinCompaction = e("LotMinCompaction");
    l.Empty = e("LotEmpty");
    for (size_t i = 0; i < CorrectedQuantities.size(); ++i)
        l.Corrected[i] = e("LotCorrected").arg(l.Quantity[Index(CorrectedQuantities[i])]);
    l.Correction = e("LotCorrection");
    return l;
}

QString QuantityText(TQuantity q, double value, QChar separator) {
    if (!std::isfinite(value))
        return QString();
    switch (q) {
    case TQuantity::Density:
        return FormatFloat(value, value >= 1000.0 ? u"#0" : u"#0.00", separator);
    case TQuantity::Compaction:
        return FormatFloat(value, u"#0.000", separator);
    case TQuantity::Porosity:
        return FormatFloat(value, u"#0.0", separator);
    case TQuantity::Temperature:
        // The table's "#.0" would show a deviation or mean of zero as ".0": statistics always
        // keep the leading zero.
        return FormatFloat(value, u"#0.0", separator);
    case TQuantity::Thickness:
        return FormatFloat(value, u"0", separator);
    }
    return QString();
}

namespace {
// Whole millimetres average to fractions: a mean or deviation of thickness keeps one decimal.
QString SpreadText(TQuantity q, double value, QChar separator) {
    if (q == TQuantity::Thickness)
        return FormatFloat(value, u"#0.0", separator);
    return QuantityText(q, value, separator);
}
} // namespace

QString MeanText(TQuantity q, const TQuantityStats& s, QChar separator) {
    return s.HasValues() ? SpreadText(q, s.Mean, separator) : QString();
}
QString SDText(TQuantity q, const TQuantityStats& s, QChar separator) {
    return s.HasSD() ? SpreadText(q, s.SD, separator) : QString();
}
QString MinText(TQuantity q, const TQuantityStats& s, QChar separator) {
    return s.HasValues() ? QuantityText(q, s.Min, separator) : QString();
}
QString MaxText(TQuantity q, const TQuantityStats& s, QChar separator) {
    return s.HasValues() ? QuantityText(q, s.Max, separator) : QString();
}
QString UsedText(const TQuantityStats& s, int considered) {
    return QStringLiteral("%1 / %2").arg(s.Used).arg(considered);
}

std::vector<QStringList> LotStatisticsLines(const TLotStatistics& s, const TLotLabels& labels,
                                            QChar separator) {
    std::vector<QStringList> lines;
    if (s.Empty()) {
        lines.push_back({labels.Empty});
        return lines;
    }
    lines.push_back({labels.QuantityHeader, labels.Used, labels.Mean, labels.SD, labels.Min, labels.Max});
    const int considered = Considered(s);
    for (int i = 0; i < QuantityCount; ++i) {
        const auto q = static_cast<TQuantity>(i);
        const TQuantityStats& st = s[q];
        lines.push_back({labels.Quantity[static_cast<size_t>(i)], UsedText(st, considered),
                         MeanText(q, st, separator), SDText(q, st, separator), MinText(q, st, separator),
                         MaxText(q, st, separator)});
    }
    if (s.Corrected)
        for (size_t i = 0; i < CorrectedQuantities.size(); ++i) {
            const TQuantity q = CorrectedQuantities[i];
            const TQuantityStats& st = CorrectedStats(*s.Corrected, q);
            lines.push_back({labels.Corrected[i], UsedText(st, considered), MeanText(q, st, separator),
                             SDText(q, st, separator), MinText(q, st, separator), MaxText(q, st, separator)});
        }
    QStringList rows{labels.Rows, (s.Selection ? labels.Selected : labels.Whole).arg(s.Total)};
    if (s.Deleted > 0)
        rows << labels.Deleted.arg(s.Deleted);
    lines.push_back(rows);
    QStringList acceptance{labels.MinCompaction, FormatFloat(s.MinCompaction, u"#0.000", separator)};
    if (s.Judged == 0) {
        acceptance << labels.BelowNone;
    } else {
        const double share = 100.0 * s.Below / s.Judged;
        acceptance << labels.Below.arg(s.Below).arg(s.Judged).arg(FormatFloat(share, u"#0.0", separator));
    }
    lines.push_back(acceptance);
    if (s.Corrected)
        lines.push_back({labels.Correction, s.Corrected->Correction});
    else if (!s.CorrectionRefused.isEmpty())
        lines.push_back({labels.Correction, s.CorrectionRefused});
    return lines;
}

QString LotStatisticsClipboardText(const TLotStatistics& s, const TLotLabels& labels, QChar separator) {
    QString out;
    for (const QStringList& line : LotStatisticsLines(s, labels, separator)) {
        out += line.join(u'\t');
        out += QStringLiteral("\r\n");
    }
    return out;
}

} // namespace lum1
