#pragma once
// The results grid: a table whose first two columns stay in place while the others scroll
// sideways, with two title rows as its header, rows 17 pixels high, movable rows and columns,
// resizable columns and whole-row range selection.

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

    // Column widths by logical column.
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
    void mouseReleased();
    void keyReleased();
    // The visible area changed size: the column widths are laid out again.
    void clientResized();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void UpdateFrozenGeometry();
    void HeaderSectionMoved(int logical, int oldVisual, int newVisual);
    QTableView* frozen_;
    bool revertingMove_ = false;
};

} // namespace lum1
