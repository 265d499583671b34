#pragma once
// The lot statistics panel under the results grid: the statistics of the selected rows (or of
// the whole table), with the corrected values while a correlation to cores is applied, the
// minimum compaction factor and the target density, a copy button and the chart button.

#include "stats/LotStatistics.h"

#include <QWidget>

#include <functional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace lum1 {

class TLotPanel : public QWidget {
    Q_OBJECT
public:
    explicit TLotPanel(QWidget* parent = nullptr);

    // Labels, hints and accessible names in the interface language (extra: the new features'
    // texts).
    void SetTexts(const TLotLabels& labels, const std::function<QString(const QString&)>& extra);
    void ShowStatistics(const TLotStatistics& statistics, QChar separator);

    double MinCompaction() const;
    void SetMinCompaction(double value);
    double TargetDensity() const;
    void SetTargetDensity(double value);

    // The cells as shown, line by line (for tests and the screenshots' checks).
    QStringList ShownLines() const;

signals:
    void minCompactionChanged(double value);
    void targetDensityChanged(double value);
    void copyRequested();
    void chartRequested();

private:
    void SetRowCount(int rows);

    TLotLabels labels_;
    QTableWidget* table_;
    QLabel* rows_;
    QLabel* acceptance_;
    QLabel* correction_;
    QLabel* empty_;
    QDoubleSpinBox* minCompaction_;
    QDoubleSpinBox* targetDensity_;
    QLabel* minCompactionLabel_;
    QLabel* targetDensityLabel_;
    QPushButton* copy_;
    QPushButton* chart_;
};

} // namespace lum1
