#include "app/ResultsGrid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace lum1 {

namespace {
void SetUpHeaderLook(QTableView* v) {
    v->verticalHeader()->setDefaultSectionSize(ResultsGrid::RowHeight);
    v->verticalHeader()->setMinimumSectionSize(ResultsGrid::RowHeight);
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    v->horizontalHeader()->setHighlightSections(false);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::ContiguousSelection);
    v->setWordWrap(false);
    v->setTextElideMode(Qt::ElideNone);
}
} // namespace

ResultsGrid::ResultsGrid(QWidget* parent) : QTableView(parent), frozen_(new QTableView(this)) {
    setObjectName(QStringLiteral("StringGrid1"));
    SetUpHeaderLook(this);
    setHorizontalScrollMode(ScrollPerPixel);
    setAlternatingRowColors(true);
    setVerticalScrollMode(ScrollPerItem);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(4);
    // Rows are dragged by their fixed columns, as in a classic grid, so the row header (and the
    // corner button above it) would only be a blank strip: it keeps the rows' order, unseen.
    verticalHeader()->hide();

    // The two fixed columns are a second view over the same model laid on top of the first,
    // sharing its selection and vertical scrolling.
    SetUpHeaderLook(frozen_);
    frozen_->setObjectName(QStringLiteral("StringGrid1Fixed"));
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setAlternatingRowColors(true);
    frozen_->verticalHeader()->hide();
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    viewport()->stackUnder(frozen_);

    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (logical < FixedColumns) {
            frozen_->setColumnWidth(logical, size);
            UpdateFrozenGeometry();
        }
    });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, &ResultsGrid::HeaderSectionMoved);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { frozen_->verticalHeader()->moveSection(from, to); });

    viewport()->installEventFilter(this);
    for (QWidget* w :
         {horizontalHeader()->viewport(), frozen_->viewport(), frozen_->horizontalHeader()->viewport()})
        WatchForMenuAndRelease(w);
}

void ResultsGrid::WatchForMenuAndRelease(QWidget* w) {
    w->setContextMenuPolicy(Qt::DefaultContextMenu);
    w->installEventFilter(this);
}

void ResultsGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    // Whoever moves the current row without extending a selection (a click in either view, a
    // key, the program) sets the anchor of the next Shift selection.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!extending_)
            anchor_ = current;
    });
    for (int c = 0; c < model->columnCount(); ++c)
        frozen_->setColumnHidden(c, c >= FixedColumns);
    UpdateFrozenGeometry();
}

void ResultsGrid::HeaderSectionMoved(int, int oldVisual, int newVisual) {
    // The fixed columns keep their places, and no column moves in among them.
    if (revertingMove_ || (oldVisual >= FixedColumns && newVisual >= FixedColumns))
        return;
    revertingMove_ = true;
    horizontalHeader()->moveSection(newVisual, oldVisual);
    revertingMove_ = false;
}

void ResultsGrid::SetColumnWidths(const std::vector<int>& widths) {
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        setColumnWidth(c, widths[c] + GridLineWidth);
        if (c < FixedColumns)
            frozen_->setColumnWidth(c, widths[c] + GridLineWidth);
    }
    UpdateFrozenGeometry();
}

std::vector<int> ResultsGrid::ColumnWidths() const {
    std::vector<int> w;
    for (int c = 0; model() && c < model()->columnCount(); ++c)
        w.push_back(std::max(columnWidth(c) - GridLineWidth, 0));
    return w;
}

int ResultsGrid::ClientWidth() const {
    return viewport()->width();
}

std::vector<int> ResultsGrid::VisualColumnOrder() const {
    std::vector<int> order;
    for (int v = 0; model() && v < model()->columnCount(); ++v)
        order.push_back(horizontalHeader()->logicalIndex(v));
    return order;
}

std::vector<int> ResultsGrid::VisualRowOrder() const {
    std::vector<int> order;
    for (int v = 0; model() && v < model()->rowCount(); ++v)
        order.push_back(verticalHeader()->logicalIndex(v));
    return order;
}

std::pair<int, int> ResultsGrid::SelectedVisualRows() const {
    if (!model() || model()->rowCount() == 0)
        return {-1, -1};
    int first = -1, last = -1;
    for (const QModelIndex& i : selectionModel()->selectedRows()) {
        const int v = verticalHeader()->visualIndex(i.row());
        first = first < 0 ? v : std::min(first, v);
        last = std::max(last, v);
    }
    if (first < 0) {
        const int current =
            currentIndex().isValid() ? verticalHeader()->visualIndex(currentIndex().row()) : 0;
        return {current, current};
    }
    return {first, last};
}

void ResultsGrid::UpdateFrozenGeometry() {
    int w = 0;
    for (int c = 0; c < FixedColumns; ++c)
        w += columnWidth(c);
    frozen_->setGeometry(viewport()->geometry().left(), frameWidth(), w,
                         viewport()->height() + horizontalHeader()->height());
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

void ResultsGrid::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    UpdateFrozenGeometry();
}

void ResultsGrid::keyPressEvent(QKeyEvent* e) {
    if (!MoveByKey(e))
        QTableView::keyPressEvent(e);
}

bool ResultsGrid::MoveByKey(QKeyEvent* e) {
    CursorAction action;
    switch (e->key()) {
    case Qt::Key_Up:
        action = MoveUp;
        break;
    case Qt::Key_Down:
        action = MoveDown;
        break;
    case Qt::Key_PageUp:
        action = MovePageUp;
        break;
    case Qt::Key_PageDown:
        action = MovePageDown;
        break;
    case Qt::Key_Home:
        action = MoveHome;
        break;
    case Qt::Key_End:
        action = MoveEnd;
        break;
    default:
        return false;
    }
    if (!model() || model()->rowCount() == 0)
        return true;
    // Whole rows are selected: Home and End go to the first and last row, with Ctrl or not.
    Qt::KeyboardModifiers moveModifiers = Qt::NoModifier;
    if (action == MoveHome || action == MoveEnd)
        moveModifiers = Qt::ControlModifier;
    const QModelIndex current = currentIndex();
    QModelIndex next = moveCursor(action, moveModifiers);
    if (!next.isValid())
        return true;
    next = model()->index(next.row(), current.isValid() ? current.column() : FixedColumns);
    if (e->modifiers() & Qt::ShiftModifier) {
        if (!anchor_.isValid())
            anchor_ = current.isValid() ? QModelIndex(current) : next;
        extending_ = true;
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
        extending_ = false;
        SelectVisualRows(verticalHeader()->visualIndex(anchor_.row()),
                         verticalHeader()->visualIndex(next.row()));
    } else {
        selectionModel()->setCurrentIndex(next,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        anchor_ = next; // also when the current row stayed where it was
    }
    scrollTo(next);
    return true;
}

void ResultsGrid::SelectVisualRows(int fromVisual, int toVisual) {
    if (fromVisual > toVisual)
        std::swap(fromVisual, toVisual);
    // Moved rows make a run of places a set of logical runs: one range per run.
    QItemSelection selection;
    const int lastColumn = model()->columnCount() - 1;
    int runStart = -1, runEnd = -1;
    auto flush = [&] {
        if (runStart >= 0)
            selection.select(model()->index(runStart, 0), model()->index(runEnd, lastColumn));
    };
    for (int v = fromVisual; v <= toVisual; ++v) {
        const int row = verticalHeader()->logicalIndex(v);
        if (row == runEnd + 1 && runStart >= 0) {
            runEnd = row;
            continue;
        }
        flush();
        runStart = runEnd = row;
    }
    flush();
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ResultsGrid::keyReleaseEvent(QKeyEvent* e) {
    QTableView::keyReleaseEvent(e);
    emit keyReleased();
}

void ResultsGrid::contextMenuEvent(QContextMenuEvent* e) {
    // From the keyboard the menu opens at the current row.
    QPoint at = e->globalPos();
    if (e->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid())
        at = viewport()->mapToGlobal(visualRect(currentIndex()).center());
    emit contextMenuAt(at);
    e->accept();
}

bool ResultsGrid::RowDragEvent(QEvent* e) {
    auto* m = static_cast<QMouseEvent*>(e);
    auto visualRowAt = [this](const QPoint& framePos) {
        const int row = frozen_->rowAt(framePos.y());
        return row < 0 ? -1 : verticalHeader()->visualIndex(row);
    };
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        dragging_ = false;
        dragFromVisual_ =
            m->button() == Qt::LeftButton && !(m->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
                ? visualRowAt(m->position().toPoint())
                : -1;
        return false; // the click selects the row as usual
    case QEvent::MouseMove:
        if (dragFromVisual_ < 0 || !(m->buttons() & Qt::LeftButton))
            return false;
        if (!dragging_) {
            const int over = visualRowAt(m->position().toPoint());
            if (over < 0 || over == dragFromVisual_)
                return false;
            dragging_ = true;
            frozen_->viewport()->setCursor(Qt::SizeVerCursor);
        }
        return true; // no selection is dragged out meanwhile
    case QEvent::MouseButtonRelease: {
        const bool dropped = dragging_;
        if (dropped) {
            frozen_->viewport()->unsetCursor();
            int to = visualRowAt(m->position().toPoint());
            if (to < 0)
                to = m->position().y() < 0 ? 0 : model()->rowCount() - 1;
            if (to != dragFromVisual_)
                verticalHeader()->moveSection(dragFromVisual_, to);
            const int row = verticalHeader()->logicalIndex(to);
            selectionModel()->setCurrentIndex(model()->index(row, FixedColumns),
                                              QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
        }
        dragging_ = false;
        dragFromVisual_ = -1;
        return dropped;
    }
    default:
        return false;
    }
}

bool ResultsGrid::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) {
        // Queued: the grid's own handling of the release (the selection it settles, a column
        // it drops) comes first.
        QMetaObject::invokeMethod(this, &ResultsGrid::mouseReleased, Qt::QueuedConnection);
    }
    if (e->type() == QEvent::ContextMenu && watched != viewport()) {
        emit contextMenuAt(static_cast<QContextMenuEvent*>(e)->globalPos());
        return true;
    }
    if (watched == frozen_->viewport() && model() &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseMove ||
         e->type() == QEvent::MouseButtonRelease) &&
        RowDragEvent(e))
        return true;
    // A scroll bar that comes or goes changes the viewport alone, not the grid.
    if (watched == viewport() && e->type() == QEvent::Resize) {
        UpdateFrozenGeometry();
        emit clientResized();
    }
    return QTableView::eventFilter(watched, e);
}

void ResultsGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // Only vertical scrolling follows the current cell; the row is selected as a whole.
    if (index.isValid()) {
        const int h = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(h);
    }
}

} // namespace lum1
