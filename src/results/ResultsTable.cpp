#include "results/ResultsTable.h"

#include <algorithm>

namespace lum1 {

TResultsTable::TResultsTable(QObject* parent) : QAbstractTableModel(parent), rows_(TitleRows + 1) {}

QString TResultsTable::Cell(int col, int gridRow) const {
    if (col < 0 || col >= ResultColumns || gridRow < 0 || gridRow >= GridRowCount())
        return {};
    return rows_[static_cast<size_t>(gridRow)][static_cast<size_t>(col)];
}

void TResultsTable::TitleFill(const LangLookup& lookup) {
    struct Title {
        const char* row0; // key, or a fixed text when fixed0 is set
        bool fixed0;
        const char* row1;
        bool fixed1;
    };
    static constexpr Title titles[ResultColumns] = {
        {"№", true, "", true},
        {"DateTime", false, "", true},
        {"Dens", false, "KgM3", false},
        {"Compaction1", false, "Compaction2", false},
        {"Porosity", false, "%", true},
        {"Temperature", false, "°C", true},
        {"Object", false, "", true},
        {"Coord", false, "", true},
        {"Material", false, "", true},
        {"Thickness1", false, "Thickness2", false},
        {"AverNum1", false, "AverNum2", false},
    };
    for (int c = 0; c < ResultColumns; ++c) {
        const Title& t = titles[c];
        const QString r0 = QString::fromUtf8(t.row0);
        const QString r1 = QString::fromUtf8(t.row1);
        rows_[0][static_cast<size_t>(c)] = t.fixed0 ? r0 : lookup(r0);
        rows_[1][static_cast<size_t>(c)] = t.fixed1 ? r1 : lookup(r1);
    }
    rows_[0][3] += u' ';
    emit headerDataChanged(Qt::Horizontal, 0, ResultColumns - 1);
}

void TResultsTable::DataClear() {
    ++generation_;
    beginResetModel();
    rows_.resize(TitleRows + 1);
    for (TRowTexts& row : rows_)
        for (size_t c = 0; c < row.size(); ++c)
            if (c != 0 || &row == &rows_.back())
                row[c].clear();
    showsRecords_ = false;
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, ResultColumns - 1);
}

void TResultsTable::DataClear(const LangLookup& lookup) {
    DataClear();
    TitleFill(lookup);
}

void TResultsTable::SetCountCell(const QString& text) {
    rows_[1][0] = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void TResultsTable::FillDataTable(int order, TRecordStore& store, const TRecordTextContext& ctx,
                                  const std::function<void()>& yieldEachRow) {
    const uint64_t myGeneration = ++generation_;
    const int count = std::clamp(store.RecordCount.load(), 0, MaxRecords);

    beginResetModel();
    rows_.resize(TitleRows);
    rows_.reserve(static_cast<size_t>(TitleRows + count));
    showsRecords_ = count > 0;
    endResetModel();
    SetCountCell(QStringLiteral("(%1)").arg(count));

    for (int i = 0; i < count; ++i)
        store.DisplayOrder[static_cast<size_t>(i)] = order == 1 ? count - 1 - i : i;

    if (!yieldEachRow) {
        if (count == 0)
            return;
        beginInsertRows({}, 0, count - 1);
        for (int i = 0; i < count; ++i)
            rows_.push_back(RowTexts(
                store.Records[static_cast<size_t>(store.DisplayOrder[static_cast<size_t>(i)])], ctx));
        endInsertRows();
        return;
    }
    for (int i = 0; i < count; ++i) {
        TRowTexts texts =
            RowTexts(store.Records[static_cast<size_t>(store.DisplayOrder[static_cast<size_t>(i)])], ctx);
        beginInsertRows({}, i, i);
        rows_.push_back(std::move(texts));
        endInsertRows();
        yieldEachRow();
        if (generation_ != myGeneration)
            return;
    }
}

QString TResultsTable::CopyText(const std::vector<int>& gridRows, const std::vector<int>& columns) const {
    if (!showsRecords_)
        return {};
    QString out;
    out.reserve(static_cast<qsizetype>(gridRows.size() * columns.size() * 12));
    for (int row : gridRows) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out += u'\t';
            out += Cell(columns[i], row);
        }
        out += u"\r\n";
    }
    return out;
}

int TResultsTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GridRowCount() - TitleRows;
}

int TResultsTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ResultColumns;
}

void TResultsTable::DecorationChanged() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ResultColumns - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
}

QVariant TResultsTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if ((role == Qt::BackgroundRole || role == Qt::ToolTipRole) && RowDecoration && showsRecords_)
        return RowDecoration(index.row(), role);
    if (role != Qt::DisplayRole)
        return {};
    return Cell(index.column(), index.row() + TitleRows);
}

QVariant TResultsTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString();
    return Cell(section, 0) + u'\n' + Cell(section, 1);
}

} // namespace lum1
