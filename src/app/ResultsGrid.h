#pragma once
// The results grid: a table whose first two columns stay in place while the others scroll
// sideways, with two title rows as its header, rows 17 pixels high, movable rows and columns,
// resizable columns and whole-row range selection.

#include <QPersistentModelIndex>
#include <QTableView>

#include <vector>

namespace lum1 {

class ResultsGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int FixedColumns = 2;
    static constexpr int RowHeight = 17;

    explicit ResultsGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The pixel each column's line takes: the widths below leave it out, as the column
    // arithmetic does, while the view draws the line inside the column.
    static constexpr int GridLineWidth = 1;

    // Column widths by logical column, without their lines.
    void SetColumnWidths(const std::vector<int>& widths);
    std::vector<int> ColumnWidths() const;
    int ClientWidth() const;

    // Logical columns in the order the user sees them; logical data rows likewise.
    std::vector<int> VisualColumnOrder() const;
    std::vector<int> VisualRowOrder() const;
    // The selection as visual data rows (first, last); the current row when nothing is selected,
    // (-1, -1) for an empty table.
    std::pair<int, int> SelectedVisualRows() const;

signals:
    // After a mouse button has been released anywhere in the grid and the grid has handled it.
    void mouseReleased();
    // A right-click or the menu key anywhere in the grid: cells, fixed columns, titles, corner.
    void contextMenuAt(const QPoint& globalPos);
    void keyReleased();
    // The visible area changed size: the column widths are laid out again.
    void clientResized();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void UpdateFrozenGeometry();
    void HeaderSectionMoved(int logical, int oldVisual, int newVisual);
    // Up, Down, PgUp, PgDn, Home, End (with Ctrl or not): a new current row, the whole row
    // selected; with Shift the selection runs from the anchor to it. False for other keys.
    bool MoveByKey(QKeyEvent* e);
    void SelectVisualRows(int fromVisual, int toVisual);
    // Press and drag in the fixed columns moves a row, as the grip of the rows.
    bool RowDragEvent(QEvent* e);
    void WatchForMenuAndRelease(QWidget* w);

    QTableView* frozen_;
    bool revertingMove_ = false;
    QPersistentModelIndex anchor_; // where a Shift selection starts
    bool extending_ = false;
    int dragFromVisual_ = -1;
    bool dragging_ = false;
};

} // namespace lum1
