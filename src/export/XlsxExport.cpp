#include "export/XlsxExport.h"

#include "acceptance/CorrectedValues.h"
#include "export/MapExport.h"
#include "platform/CNumericLocale.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace lum1 {

namespace {

enum Column {
    ColNumber,
    ColTime,
    ColDensity,
    ColCompaction,
    ColPorosity,
    ColTemperature,
    ColObject,
    ColLatitude,
    ColLongitude,
    ColMaterial,
    ColThickness,
    ColAverNum,
    ColumnCount,
    // With a correlation chosen for the lot: the corrected values after every measured one.
    ColCorrectedDensity = ColumnCount,
    ColCorrectedCompaction,
    ColCorrectedPorosity,
    ColumnCountCorrected
};

// Excel's number formats read "0" and "#" as the program's patterns do, so a cell shows the
// digits the table shows (with the reader's own decimal separator).
struct TFormats {
    lxw_format* Header;
    lxw_format* Text;
    lxw_format* Integer;
    lxw_format* DateTime;
    lxw_format* Density;      // below 1000: two decimals
    lxw_format* DensityWhole; // 1000 and above
    lxw_format* Compaction;
    lxw_format* OneDecimal;
    lxw_format* Temperature;
    lxw_format* Degrees;
    lxw_format* Percent;
};

lxw_format* NumberFormat(lxw_workbook* wb, const char* pattern) {
    lxw_format* f = workbook_add_format(wb);
    format_set_num_format(f, pattern);
    return f;
}

TFormats MakeFormats(lxw_workbook* wb) {
    TFormats f{};
    f.Header = workbook_add_format(wb);
    format_set_bold(f.Header);
    format_set_text_wrap(f.Header);
    format_set_align(f.Header, LXW_ALIGN_VERTICAL_TOP);
    f.Text = workbook_add_format(wb);
    f.Integer = NumberFormat(wb, "0");
    f.DateTime = NumberFormat(wb, "yyyy-mm-dd hh:mm:ss");
    f.Density = NumberFormat(wb, "#0.00");
    f.DensityWhole = NumberFormat(wb, "#0");
    f.Compaction = NumberFormat(wb, "#0.000");
    f.OneDecimal = NumberFormat(wb, "#0.0");
    f.Temperature = NumberFormat(wb, "#.0");
    f.Degrees = NumberFormat(wb, "0.00000000");
    f.Percent = NumberFormat(wb, "0.0%");
    return f;
}

// Widths in characters, fitted to the longest text a column shows (the header's longest word
// line, as it wraps), within sensible bounds.
class TWidths {
public:
    explicit TWidths(int columns) : widths_(static_cast<size_t>(columns), 4.0) {}
    void Fit(int column, const QString& text) {
        for (const QString& part : text.split(u'\n'))
            widths_[static_cast<size_t>(column)] =
                std::max(widths_[static_cast<size_t>(column)], static_cast<double>(part.size()) + 2.0);
    }
    void Apply(lxw_worksheet* ws) const {
        for (size_t c = 0; c < widths_.size(); ++c)
            worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 std::min(widths_[c], 60.0), nullptr);
    }

private:
    std::vector<double> widths_;
};

class TSheetWriter {
public:
    TSheetWriter(lxw_worksheet* ws, TWidths& widths) : ws_(ws), widths_(widths) {}
    void Text(int row, int col, const QString& text, lxw_format* format = nullptr) {
        if (text.isEmpty())
            return;
        const QByteArray utf8 = text.toUtf8();
        Check(worksheet_write_string(ws_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                     utf8.constData(), format));
        widths_.Fit(col, text);
    }
    // A finite number as a numeric cell; anything else as the text the table shows for it.
    void Number(int row, int col, double value, lxw_format* format, const QString& shown) {
        if (!std::isfinite(value)) {
            Text(row, col, shown);
            return;
        }
        Check(worksheet_write_number(ws_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value,
                                     format));
        widths_.Fit(col, shown);
    }
    void Date(int row, int col, const QDateTime& when, lxw_format* format) {
        lxw_datetime dt{when.date().year(), when.date().month(),  when.date().day(),
                        when.time().hour(), when.time().minute(), static_cast<double>(when.time().second())};
        Check(worksheet_write_datetime(ws_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), &dt,
                                       format));
        widths_.Fit(col, QStringLiteral("2000-01-01 00:00:00"));
    }
    lxw_error Error() const { return error_; }

private:
    void Check(lxw_error e) {
        if (e != LXW_NO_ERROR && error_ == LXW_NO_ERROR)
            error_ = e;
    }
    lxw_worksheet* ws_;
    TWidths& widths_;
    lxw_error error_ = LXW_NO_ERROR;
};

void WriteResults(lxw_worksheet* ws, const TFormats& f, const TRecordStore& store,
                  std::span<const int> records, const TExportTexts& t, const TCorrection* correction,
                  const TLotLabels& labels, int& lastRow, lxw_error& error) {
    const int columns = correction ? ColumnCountCorrected : ColumnCount;
    TWidths widths(columns);
    TSheetWriter w(ws, widths);
    const std::array<QString, ColumnCount> header = {
        QStringLiteral("№"),
        t.Doc("DateTime"),
        t.Doc("Dens") + QStringLiteral(", ") + t.Doc("KgM3"),
        t.Doc("Compaction1") + u' ' + t.Doc("Compaction2"),
        t.Doc("Porosity") + QStringLiteral(", %"),
        t.Doc("Temperature") + QStringLiteral(", °C"),
        t.Doc("Object"),
        t.New("Latitude"),
        t.New("Longitude"),
        t.Doc("Material"),
        t.Doc("Thickness1") + u' ' + t.Doc("Thickness2"),
        t.Doc("AverNum1") + u' ' + t.Doc("AverNum2"),
    };
    for (int c = 0; c < ColumnCount; ++c)
        w.Text(0, c, header[static_cast<size_t>(c)], f.Header);
    if (correction)
        for (size_t i = 0; i < labels.Corrected.size(); ++i)
            w.Text(0, ColCorrectedDensity + static_cast<int>(i), labels.Corrected[i], f.Header);

    const int count = std::clamp(store.RecordCount.load(), 0, MaxRecords);
    int row = 0;
    for (int index : records) {
        if (index < 0 || index >= count)
            continue;
        const TMeasRecord& r = store.Records[static_cast<size_t>(index)];
        ++row;
        const TDensityTexts shown = DensityTexts(r, t.Record);
        const TRecordValues v = RecordValues(r);
        w.Number(row, ColNumber, r.Number, f.Integer, NumberText(r));
        if (const auto when = RecordDateTime(r))
            w.Date(row, ColTime, *when, f.DateTime);
        else
            w.Text(row, ColTime, DateTimeText(r, t.Record)); // deleted, or no calendar date
        // A mode-2 reading keeps its mark: it is not a density in kg/m3.
        const double density = v[TQuantity::Density];
        w.Number(row, ColDensity, density,
                 std::isfinite(density) && density >= 1000.0 ? f.DensityWhole : f.Density, shown.Density);
        w.Number(row, ColCompaction, v[TQuantity::Compaction], f.Compaction, shown.Compaction);
        w.Number(row, ColPorosity, v[TQuantity::Porosity], f.OneDecimal, shown.Porosity);
        w.Number(row, ColTemperature, v[TQuantity::Temperature], f.Temperature, TemperatureText(r, t.Record));
        w.Text(row, ColObject, FieldToText(r.ObjectName, sizeof r.ObjectName), f.Text);
        const auto lat = CoordToDegrees(r.Latitude, false);
        const auto lon = CoordToDegrees(r.Longitude, true);
        if (lat && lon) {
            w.Number(row, ColLatitude, *lat, f.Degrees, QString::number(*lat, 'f', 8));
            w.Number(row, ColLongitude, *lon, f.Degrees, QString::number(*lon, 'f', 8));
        }
        w.Text(row, ColMaterial, FieldToText(r.MaterialName, sizeof r.MaterialName), f.Text);
        w.Number(row, ColThickness, r.Thickness, f.Integer, ThicknessText(r));
        w.Number(row, ColAverNum, r.AverNum, f.Integer, AverNumText(r));
        if (correction && !IsDeletedRecord(r)) {
            const TCorrectedValues c = CorrectedValues(r, *correction);
            const QChar sep = t.Record.DecimalSeparator;
            if (std::isfinite(c.Density))
                w.Number(row, ColCorrectedDensity, c.Density,
                         c.Density >= 1000.0 ? f.DensityWhole : f.Density,
                         QuantityText(TQuantity::Density, c.Density, sep));
            if (std::isfinite(c.Compaction)) {
                w.Number(row, ColCorrectedCompaction, c.Compaction, f.Compaction,
                         QuantityText(TQuantity::Compaction, c.Compaction, sep));
                w.Number(row, ColCorrectedPorosity, c.Porosity, f.OneDecimal,
                         QuantityText(TQuantity::Porosity, c.Porosity, sep));
            }
        }
    }
    lastRow = row;
    widths.Apply(ws);
    worksheet_freeze_panes(ws, 1, 0);
    worksheet_autofilter(ws, 0, 0, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(columns - 1));
    error = w.Error();
}

lxw_format* StatisticFormat(const TFormats& f, TQuantity q, double value, bool spread) {
    switch (q) {
    case TQuantity::Density:
        return value >= 1000.0 ? f.DensityWhole : f.Density;
    case TQuantity::Compaction:
        return f.Compaction;
    case TQuantity::Porosity:
        return f.OneDecimal;
    case TQuantity::Temperature:
        return f.OneDecimal; // with its leading zero, as the panel shows it
    case TQuantity::Thickness:
        return spread ? f.OneDecimal : f.Integer;
    }
    return nullptr;
}

// The statistics of the panel, every count and value a number in a cell of its own: used and
// total apart, the minimum compaction factor, and the share below it as a percentage.
void WriteStatistics(lxw_worksheet* ws, const TFormats& f, const TLotStatistics& s, const TLotLabels& labels,
                     QChar separator, lxw_error& error) {
    TWidths widths(7);
    TSheetWriter w(ws, widths);
    if (s.Empty()) {
        w.Text(0, 0, labels.Empty);
    } else {
        const QString header[] = {
            labels.QuantityHeader, labels.Used, labels.Total, labels.Mean, labels.SD, labels.Min, labels.Max};
        for (int c = 0; c < 7; ++c)
            w.Text(0, c, header[c], f.Header);
        const int considered = Considered(s);
        auto quantityRow = [&](int row, TQuantity q, const QString& label, const TQuantityStats& st) {
            w.Text(row, 0, label);
            w.Number(row, 1, st.Used, f.Integer, QString::number(st.Used));
            w.Number(row, 2, considered, f.Integer, QString::number(considered));
            if (!st.HasValues())
                return;
            w.Number(row, 3, st.Mean, StatisticFormat(f, q, st.Mean, true), MeanText(q, st, separator));
            if (st.HasSD())
                w.Number(row, 4, st.SD, StatisticFormat(f, q, st.SD, true), SDText(q, st, separator));
            w.Number(row, 5, st.Min, StatisticFormat(f, q, st.Min, false), MinText(q, st, separator));
            w.Number(row, 6, st.Max, StatisticFormat(f, q, st.Max, false), MaxText(q, st, separator));
        };
        int row = 1;
        for (int i = 0; i < QuantityCount; ++i, ++row)
            quantityRow(row, static_cast<TQuantity>(i), labels.Quantity[static_cast<size_t>(i)],
                        s[static_cast<TQuantity>(i)]);
        if (s.Corrected)
            for (size_t i = 0; i < CorrectedQuantities.size(); ++i, ++row)
                quantityRow(row, CorrectedQuantities[i], labels.Corrected[i],
                            CorrectedStats(*s.Corrected, CorrectedQuantities[i]));
        w.Text(row, 0, labels.Rows);
        w.Text(row, 1, (s.Selection ? labels.Selected : labels.Whole).arg(s.Total));
        if (s.Deleted > 0)
            w.Text(row, 2, labels.Deleted.arg(s.Deleted));
        ++row;
        w.Text(row, 0, labels.MinCompaction);
        w.Number(row, 1, s.MinCompaction, f.Compaction,
                 QuantityText(TQuantity::Compaction, s.MinCompaction, u'.'));
        ++row;
        if (s.Judged == 0) {
            w.Text(row, 0, labels.BelowNone);
        } else {
            w.Text(row, 0, labels.BelowCount);
            w.Number(row, 1, s.Below, f.Integer, QString::number(s.Below));
            w.Text(row + 1, 0, labels.Judged);
            w.Number(row + 1, 1, s.Judged, f.Integer, QString::number(s.Judged));
            w.Text(row + 2, 0, labels.BelowShare);
            w.Number(row + 2, 1, static_cast<double>(s.Below) / s.Judged, f.Percent,
                     QStringLiteral("100.0%"));
            row += 2;
        }
        ++row;
        if (s.Corrected || !s.CorrectionRefused.isEmpty()) {
            w.Text(row, 0, labels.Correction);
            w.Text(row, 1, s.Corrected ? s.Corrected->Correction : s.CorrectionRefused);
        }
    }
    widths.Apply(ws);
    error = w.Error();
}

} // namespace

std::optional<QByteArray> BuildXlsx(const TRecordStore& store, std::span<const int> records,
                                    const TExportTexts& texts, const TLotStatistics& statistics,
                                    const TLotLabels& labels, QString* error, const TCorrection* correction) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // The library prints its numbers (values, widths, margins) with the C library, which follows
    // the user's locale once the toolkit has taken it: "0,98" would be a corrupt workbook.
    const TCNumericLocale cNumbers;
    if (!cNumbers.Active())
        return fail(QStringLiteral("cannot take the C number format"));
    // The library writes a file of its own; it goes to a private folder, and the caller puts
    // the bytes under the chosen name only once they are complete.
    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(dir.errorString());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("book.xlsx")));
    const QByteArray tmp = QFile::encodeName(dir.path());
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmp.constData());
    lxw_workbook* wb = workbook_new_opt(path.constData(), &options);
    if (!wb)
        return fail(QStringLiteral("cannot create the workbook"));
    const TFormats formats = MakeFormats(wb);

    auto sheetName = [](const QString& name, const char* fallback) {
        // Excel refuses these characters and names over 31 characters.
        QString n = name;
        for (QChar c : QStringLiteral("[]:*?/\\"))
            n.remove(c);
        n = n.left(31).trimmed();
        return (n.isEmpty() ? QString::fromLatin1(fallback) : n).toUtf8();
    };
    const QByteArray resultsName = sheetName(texts.New("SheetResults"), "Results");
    QByteArray statisticsName = sheetName(texts.New("SheetStatistics"), "Statistics");
    if (statisticsName.compare(resultsName, Qt::CaseInsensitive) == 0)
        statisticsName = "Statistics";
    lxw_worksheet* results = workbook_add_worksheet(wb, resultsName.constData());
    lxw_worksheet* stats = workbook_add_worksheet(wb, statisticsName.constData());
    lxw_error sheetError = LXW_NO_ERROR, statsError = LXW_NO_ERROR;
    int lastRow = 0;
    if (results && stats) {
        WriteResults(results, formats, store, records, texts, correction, labels, lastRow, sheetError);
        WriteStatistics(stats, formats, statistics, labels, texts.Record.DecimalSeparator, statsError);
    }
    const lxw_error closed = workbook_close(wb);
    if (!results || !stats)
        return fail(QStringLiteral("cannot create the worksheets"));
    for (lxw_error e : {sheetError, statsError, closed})
        if (e != LXW_NO_ERROR)
            return fail(QString::fromUtf8(lxw_strerror(e)));
    QFile file(dir.filePath(QStringLiteral("book.xlsx")));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    return file.readAll();
}

} // namespace lum1
