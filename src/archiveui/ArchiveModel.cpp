#include "archiveui/ArchiveModel.h"

#include <QColor>

#include <algorithm>
#include <limits>

namespace lum1 {

TArchiveModel::TArchiveModel(ArchiveAccess access, QObject* parent)
    : QAbstractTableModel(parent), access_(std::move(access)) {}

void TArchiveModel::SetTexts(const TRecordTextContext& context, const Titles& titles) {
    context_ = context;
    titles_ = titles;
    // The kept rows stay; only their texts follow the new language.
    for (Page& page : pages_) {
        page.Texts.clear();
        for (const TArchiveRow& row : page.Rows)
            page.Texts.push_back(RowTexts(row.Record, context_));
    }
    emit headerDataChanged(Qt::Horizontal, 0, ResultColumns - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ResultColumns - 1));
}

void TArchiveModel::SetTitles(const Titles& titles) {
    if (titles == titles_)
        return;
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, ResultColumns - 1);
}

void TArchiveModel::SetLotNames(QHash<qint64, QString> names, const QString& lotTip) {
    lotNames_ = std::move(names);
    lotTip_ = lotTip;
}

void TArchiveModel::SetMarkedLot(qint64 lot) {
    if (lot == markedLot_)
        return;
    markedLot_ = lot;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ResultColumns - 1), {Qt::BackgroundRole});
}

TArchiveError TArchiveModel::Refresh() {
    beginResetModel();
    pages_.clear();
    counts_ = {};
    error_ = {};
    failed_ = false;
    TArchiveError error;
    // A damaged file that was set aside leaves a new archive open: that one is shown, and the
    // error still tells what became of the old one.
    if (TArchive* archive = access_(&error)) {
        counts_ = CountRecords(*archive, filter_);
        if (archive->LastError()) {
            error = archive->LastError();
            counts_ = {};
            failed_ = true;
        }
    } else {
        if (!error)
            error.Kind = TArchiveErrorKind::NotOpen;
        failed_ = true;
    }
    error_ = error;
    endResetModel();
    return error;
}

void TArchiveModel::Clear() {
    beginResetModel();
    pages_.clear();
    counts_ = {};
    failed_ = true;
    endResetModel();
}

void TArchiveModel::Fail(const TArchiveError& error) const {
    error_ = error;
    if (!failed_) {
        failed_ = true;
        emit const_cast<TArchiveModel*>(this)->fetchFailed();
    }
}

const TArchiveModel::Page* TArchiveModel::PageOf(int row) const {
    if (row < 0 || row >= rowCount() || failed_)
        return nullptr;
    const qint64 number = row / PageSize;
    if (auto it = pages_.find(number); it != pages_.end()) {
        it->Used = ++useClock_;
        return &*it;
    }
    TArchiveError error;
    TArchive* archive = access_(&error);
    if (!archive) {
        Fail(error);
        return nullptr;
    }
    Page page;
    page.Rows = FetchRecords(*archive, filter_, sort_, number * PageSize, PageSize);
    if (archive->LastError()) {
        Fail(archive->LastError());
        return nullptr;
    }
    page.Texts.reserve(page.Rows.size());
    for (const TArchiveRow& r : page.Rows)
        page.Texts.push_back(RowTexts(r.Record, context_));
    page.Used = ++useClock_;
    if (pages_.size() >= KeptPages) {
        auto oldest = std::min_element(pages_.begin(), pages_.end(),
                                       [](const Page& a, const Page& b) { return a.Used < b.Used; });
        pages_.erase(oldest);
    }
    return &*pages_.insert(number, std::move(page));
}

const TArchiveRow* TArchiveModel::Row(int row) {
    const Page* page = PageOf(row);
    const auto at = static_cast<size_t>(row % PageSize);
    return page && at < page->Rows.size() ? &page->Rows[at] : nullptr;
}

std::optional<std::vector<TArchiveRow>> TArchiveModel::Rows(const std::vector<std::pair<int, int>>& ranges) {
    std::vector<TArchiveRow> rows;
    if (failed_)
        return std::nullopt;
    for (auto [first, last] : ranges) {
        first = std::max(first, 0);
        last = std::min(last, rowCount() - 1);
        if (first > last)
            continue;
        bool kept = true;
        for (qint64 p = first / PageSize; p <= last / PageSize && kept; ++p)
            kept = pages_.contains(p);
        if (kept) {
            // What the view shows is what the user chose, even if the archive grew meanwhile.
            for (int r = first; r <= last; ++r)
                if (const TArchiveRow* row = Row(r))
                    rows.push_back(*row);
            continue;
        }
        TArchiveError error;
        TArchive* archive = access_(&error);
        if (!archive) {
            error_ = error;
            return std::nullopt;
        }
        std::vector<TArchiveRow> block = FetchRecords(*archive, filter_, sort_, first, last - first + 1);
        if (archive->LastError()) {
            error_ = archive->LastError();
            return std::nullopt;
        }
        rows.insert(rows.end(), block.begin(), block.end());
    }
    return rows;
}

int TArchiveModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<qint64>(counts_.Shown, std::numeric_limits<int>::max()));
}

int TArchiveModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ResultColumns;
}

QVariant TArchiveModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::BackgroundRole))
        return {};
    const Page* page = PageOf(index.row());
    const auto at = static_cast<size_t>(index.row() % PageSize);
    if (!page || at >= page->Rows.size())
        return {};
    if (role == Qt::BackgroundRole) {
        // Pale enough for the text to read as in any other row.
        if (markedLot_ == 0 || page->Rows[at].Lot != markedLot_)
            return {};
        return QColor(0xdc, 0xf0, 0xdc);
    }
    if (role == Qt::ToolTipRole) {
        const qint64 lot = page->Rows[at].Lot;
        if (lot == NoLot || lotTip_.isEmpty())
            return {};
        return lotTip_.arg(lotNames_.value(lot));
    }
    return page->Texts[at][static_cast<size_t>(index.column())];
}

QVariant TArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // A first click on a column title sorts from the smallest value up.
    if (role == Qt::InitialSortOrderRole)
        return Qt::AscendingOrder;
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ResultColumns)
        return {};
    return titles_[static_cast<size_t>(section)];
}

void TArchiveModel::sort(int column, Qt::SortOrder order) {
    const TArchiveSort wanted{std::clamp(column, 0, ResultColumns - 1), order == Qt::DescendingOrder};
    if (wanted.Column == sort_.Column && wanted.Descending == sort_.Descending)
        return;
    beginResetModel();
    sort_ = wanted;
    pages_.clear();
    endResetModel();
}

} // namespace lum1
