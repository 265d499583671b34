#pragma once
// The texts of the results grid: two title rows, then one row per record, as a table model
// a QTableView shows (the two title rows as its two-line horizontal header).

#include "results/MeasRecord.h"
#include "results/RecordTexts.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace lum1 {

class TResultsTable : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int TitleRows = 2;

    explicit TResultsTable(QObject* parent = nullptr);

    // Grid addressing: rows 0 and 1 are the titles, records from row 2 on.
    QString Cell(int col, int gridRow) const;
    int GridRowCount() const { return static_cast<int>(rows_.size()); }
    // False after DataClear and after a fill from an empty store: nothing to copy then.
    bool ShowsRecords() const { return showsRecords_; }

    // Both title rows in the current language; empties the count cell.
    void TitleFill(const LangLookup& lookup);
    // Every cell of columns 1..10 emptied, title rows included, and the rows cut to the two
    // title rows and one empty data row. Column 0 keeps its titles but its data cell is emptied
    // too, so no stale record number stays in the empty row.
    void DataClear();
    // DataClear followed by TitleFill: what the window runs to empty the table.
    void DataClear(const LangLookup& lookup);
    // order 0: store order; 1: reversed. yieldEachRow runs after every row (the window
    // processes its events there); at each call the model holds the rows written so far.
    // A DataClear or fill that runs inside a yield supersedes this fill, which then stops.
    void FillDataTable(int order, TRecordStore& store, const TRecordTextContext& ctx,
                       const std::function<void()>& yieldEachRow = {});

    // Clipboard text: for each grid row, the given columns TAB-separated, every line ending
    // in CR LF. Empty (leave the clipboard alone) while no record is shown.
    QString CopyText(const std::vector<int>& gridRows, const std::vector<int>& columns) const;

    // Colours and tooltips of data rows (row: the model's data row), for marks that must never
    // change the texts that copies and reports read. Empty: no marks.
    std::function<QVariant(int row, int role)> RowDecoration;
    // The marks were changed: every view repaints them.
    void DecorationChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void SetCountCell(const QString& text);

    std::vector<TRowTexts> rows_;
    bool showsRecords_ = false;
    uint64_t generation_ = 0; // bumped by every clear and fill, so a superseded fill can tell
};

} // namespace lum1
