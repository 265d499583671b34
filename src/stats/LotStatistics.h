#pragma once
// Statistics of a lot of measurements: for density, compaction factor, porosity, temperature and
// layer thickness the mean, sample standard deviation, minimum and maximum, over the values that
// the results table shows as numbers of the record's own kind. Free of widgets, so that the panel,
// the clipboard, the Excel sheet and the command line share one computation.

#include "results/MeasRecord.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace lum1 {

enum class TQuantity { Density, Compaction, Porosity, Temperature, Thickness };
constexpr int QuantityCount = 5;

// The values of one record as the table shows them; NaN where the table shows nothing, a
// mark instead of a number, or a value that is not a finite number.
struct TRecordValues {
    std::array<double, QuantityCount> Value;
    double operator[](TQuantity q) const { return Value[static_cast<size_t>(q)]; }
};

bool IsDeletedRecord(const TMeasRecord& r);
TRecordValues RecordValues(const TMeasRecord& r);

// The compaction factor as the table shows it (rounded to three decimals), or NaN.
double ShownCompaction(const TMeasRecord& r);
// Below the minimum compaction factor as the user reads it: the shown value is compared, so a
// row that shows 0.980 is never marked against a minimum of 0.98. Deleted records and records
// without a compaction factor are never below.
bool BelowMinimum(const TMeasRecord& r, double minCompaction);

struct TQuantityStats {
    int Used = 0; // values that entered the statistic
    double Mean = 0, SD = 0, Min = 0, Max = 0;
    bool HasValues() const { return Used > 0; }
    bool HasSD() const { return Used > 1; }
};

// The mean, sample deviation, minimum and maximum of values, as every statistic of a lot counts
// them: equal values have exactly their value as the mean and a deviation of 0.
TQuantityStats DescribeValues(std::span<const double> values);

// The statistics of the densities corrected by a correlation to cores, and of the compaction
// factor and porosity recomputed from them (computed over src/acceptance).
struct TCorrectedStatistics {
    QString Correction; // the correction in words
    TQuantityStats Density, Compaction, Porosity;
};

struct TLotStatistics {
    int Total = 0;          // records looked at
    int Deleted = 0;        // of those, deleted on the gauge (left out of everything)
    bool Selection = false; // a selection of rows rather than the whole table
    std::array<TQuantityStats, QuantityCount> Quantities{};
    // Acceptance against the minimum compaction factor.
    double MinCompaction = 0.98;
    int Judged = 0; // records with a compaction factor
    int Below = 0;
    // With a correlation chosen for the lot: the corrected values beside the measured ones.
    std::optional<TCorrectedStatistics> Corrected;
    // A correlation chosen for the lot that does not hold for it: why (no corrected values then).
    QString CorrectionRefused;

    const TQuantityStats& operator[](TQuantity q) const { return Quantities[static_cast<size_t>(q)]; }
    bool Empty() const { return Total == 0; }
};

constexpr double DefaultMinCompaction = 0.98;

// The minimum compaction factor as the settings ([LotStatistics] MinCompaction) or the command
// line give it: a number from 0 to 2, a point or a comma before its decimals. Nothing for any
// other text.
std::optional<double> ParseMinCompaction(const QString& text);

// The statistics of the given records (indices into the store).
TLotStatistics ComputeLotStatistics(const TRecordStore& store, std::span<const int> records,
                                    double minCompaction = DefaultMinCompaction);

// The records a statistic covers: the selected ones when two or more are selected, else all.
// selected and all are record indices; selection reports which was taken.
std::vector<int> LotRecords(const std::vector<int>& selected, const std::vector<int>& all,
                            bool* selection = nullptr);

// ---- texts

struct TLotLabels {
    std::array<QString, QuantityCount> Quantity; // with their units
    QString QuantityHeader, Used, Mean, SD, Min, Max;
    QString Rows;     // title of the first line
    QString Selected; // "%1": the number of rows
    QString Whole;    // "%1": the number of rows
    QString Deleted;  // "%1"
    QString Below;    // "%1 of %2 (%3 %)"
    QString BelowNone;
    QString MinCompaction;
    QString Empty;
    // The workbook's statistics sheet: the counts in cells of their own.
    QString Total, BelowCount, Judged, BelowShare;
    // The corrected quantities (density, compaction factor, porosity) and the correction's line.
    std::array<QString, 3> Corrected;
    QString Correction;
};

// The quantities that have corrected values, in the order of their lines.
constexpr std::array<TQuantity, 3> CorrectedQuantities{TQuantity::Density, TQuantity::Compaction,
                                                       TQuantity::Porosity};
// The corrected statistic of a quantity of CorrectedQuantities.
const TQuantityStats& CorrectedStats(const TCorrectedStatistics& s, TQuantity q);

// The labels in the language of a lookup: keys of the new features' section and the documented
// column titles for the quantities.
TLotLabels LotLabels(const std::function<QString(const QString&)>& extra,
                     const std::function<QString(const QString&)>& documented);

// Number texts with the table's patterns and the given decimal separator, always with a digit
// before the separator; the empty text for a statistic that does not exist (no value; the
// deviation of a single value).
QString QuantityText(TQuantity q, double value, QChar separator);
QString MeanText(TQuantity q, const TQuantityStats& s, QChar separator);
QString SDText(TQuantity q, const TQuantityStats& s, QChar separator);
QString MinText(TQuantity q, const TQuantityStats& s, QChar separator);
QString MaxText(TQuantity q, const TQuantityStats& s, QChar separator);
QString UsedText(const TQuantityStats& s, int considered); // "n used / n total"
// Records that are not deleted: the "total" of every quantity's count.
inline int Considered(const TLotStatistics& s) {
    return s.Total - s.Deleted;
}

// The lines the panel and the clipboard show: a header line, one line per quantity (and per
// corrected quantity when a correlation is applied), then the rows line, the acceptance line and,
// with a correlation chosen, the correction's line. Each line is a list of cells.
std::vector<QStringList> LotStatisticsLines(const TLotStatistics& s, const TLotLabels& labels,
                                            QChar separator);
// TAB between cells, CR LF after every line, as the table's own copy.
QString LotStatisticsClipboardText(const TLotStatistics& s, const TLotLabels& labels, QChar separator);

} // namespace lum1
