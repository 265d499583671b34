#pragma once
// The archive as a table model: the records a filter lets through, sorted by any of the eleven
// columns, with the main table's cell texts. Only the pages of rows a view asks for are read
// from the archive (a window of recently used pages is kept), so a view over a million records
// costs a count and a page or two.

#include "archive/ArchiveQuery.h"
#include "results/RecordTexts.h"

#include <QAbstractTableModel>
#include <QHash>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace lum1 {

class TArchiveModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The window thread's archive, open; nullptr with the reason.
    using ArchiveAccess = std::function<TArchive*(TArchiveError* error)>;
    using Titles = std::array<QString, ResultColumns>;

    static constexpr int PageSize = 200;
    static constexpr int KeptPages = 64;

    explicit TArchiveModel(ArchiveAccess access, QObject* parent = nullptr);

    // The cell texts' language and decimal separator, and the column titles.
    void SetTexts(const TRecordTextContext& context, const Titles& titles);
    void SetTitles(const Titles& titles);
    // Lot names for the rows' tooltips (lotTip: "%1" the lot's name).
    void SetLotNames(QHash<qint64, QString> names, const QString& lotTip);
    // The rows of this lot get a background of their own (0: none).
    void SetMarkedLot(qint64 lot);

    // Counts the records anew and forgets every page (a new filter, sort or archive content).
    // The error, if the archive failed; the model then shows no row.
    TArchiveError Refresh();
    void SetFilter(const TArchiveFilter& filter) { filter_ = filter; }
    const TArchiveFilter& Filter() const { return filter_; }
    const TArchiveSort& Sort() const { return sort_; }
    const TArchiveCounts& Counts() const { return counts_; }
    // Empties the model (an archive that cannot be read).
    void Clear();

    // The row at a place of the table; nullptr beyond the rows or when the archive failed.
    const TArchiveRow* Row(int row);
    // The records of the rows in [first, last] of every range, in the table's order (ranges in
    // the order given). Nothing, with LastError(), when the archive failed.
    std::optional<std::vector<TArchiveRow>> Rows(const std::vector<std::pair<int, int>>& ranges);
    // The last failure of a fetch (also announced by fetchFailed).
    const TArchiveError& LastError() const { return error_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // A click on a column title: the archive sorted by that column.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // A page could not be read while a view asked for it. Connect queued: the view is painting.
    void fetchFailed();

private:
    struct Page {
        std::vector<TArchiveRow> Rows;
        std::vector<TRowTexts> Texts;
        quint64 Used = 0;
    };
    const Page* PageOf(int row) const;
    void Fail(const TArchiveError& error) const;

    ArchiveAccess access_;
    TArchiveFilter filter_;
    TArchiveSort sort_{1, true}; // the newest first
    TArchiveCounts counts_;
    TRecordTextContext context_;
    Titles titles_;
    QHash<qint64, QString> lotNames_;
    QString lotTip_;
    qint64 markedLot_ = 0;
    // Filled from const data(): the pages are a cache of what the archive holds.
    mutable QHash<qint64, Page> pages_;
    mutable quint64 useClock_ = 0;
    mutable TArchiveError error_;
    mutable bool failed_ = false; // no fetch until the next Refresh
};

} // namespace lum1
