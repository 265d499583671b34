#include "app/ResultsGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
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
    verticalHeader()->setSectionsMovable(true);
    verticalHeader()->setFixedWidth(14); // a grip to drag rows by
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);

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
    horizontalHeader()->viewport()->installEventFilter(this);
    frozen_->viewport()->installEventFilter(this);
    frozen_->horizontalHeader()->viewport()->installEventFilter(this);
}

void ResultsGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
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
        setColumnWidth(c, widths[c]);
        if (c < FixedColumns)
            frozen_->setColumnWidth(c, widths[c]);
    }
    UpdateFrozenGeometry();
}

std::vector<int> ResultsGrid::ColumnWidths() const {
    std::vector<int> w;
    for (int c = 0; model() && c < model()->columnCount(); ++c)
        w.push_back(columnWidth(c));
    return w;
}

int ResultsGrid::ClientWidth() const { return viewport()->width(); }

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
        const int current = currentIndex().isValid() ? verticalHeader()->visualIndex(currentIndex().row()) : 0;
        return {current, current};
    }
    return {first, last};
}

void ResultsGrid::UpdateFrozenGeometry() {
    int w = 0;
    for (int c = 0; c < FixedColumns; ++c)
        w += columnWidth(c);
    frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), w,
                         viewport()->height() + horizontalHeader()->height());
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

void ResultsGrid::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    UpdateFrozenGeometry();
}

void ResultsGrid::keyReleaseEvent(QKeyEvent* e) {
    QTableView::keyReleaseEvent(e);
    emit keyReleased();
}

bool ResultsGrid::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease)
        emit mouseReleased();
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
