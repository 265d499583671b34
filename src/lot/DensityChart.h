#pragma once
// The density chart: the densities of the lot in the order of the table, their mean and the
// target density when one is set; points below the target in a colour of their own. With a
// correlation to cores applied, the corrected densities and their mean beside the measured ones. A click on
// a point selects its row in the grid; the chart can be saved as a PNG picture.

#include <QDialog>

#include <functional>
#include <limits>
#include <vector>

class QChart;
class QChartView;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;

namespace lum1 {

class IDialogs;

struct TChartPoint {
    int Position = 0; // 1-based place in the table as the user sees it
    double Density = 0;
    int ModelRow = 0;                                            // the grid model's data row
    double Corrected = std::numeric_limits<double>::quiet_NaN(); // NaN: no correction applied
};

class TDensityChart : public QDialog {
    Q_OBJECT
public:
    TDensityChart(IDialogs& dialogs, QWidget* parent = nullptr);

    void SetTexts(const std::function<QString(const QString&)>& extra, const QString& caption);
    // mean: NaN for none; target: 0 for none; correctedMean: NaN without a correction.
    void SetData(std::vector<TChartPoint> points, double mean, double target,
                 double correctedMean = std::numeric_limits<double>::quiet_NaN());

    // The PNG bytes of the chart as shown.
    QByteArray Png() const;
    void SavePng();

    int PointCount() const { return static_cast<int>(points_.size()); }
    int BelowCount() const;
    int CorrectedCount() const;
    // A click on the chart at a value position (as a click on the point nearest to it).
    void ChoosePointAt(double x);

    // F1, whatever the modifiers and whichever control has the focus: the manual.
    std::function<void()> help;

signals:
    void rowChosen(int modelRow);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    IDialogs& dialogs_;
    std::function<QString(const QString&)> extra_;
    QString caption_;
    std::vector<TChartPoint> points_;
    double target_ = 0;
    QChart* chart_;
    QChartView* view_;
    QScatterSeries* normal_;
    QScatterSeries* below_;
    QLineSeries* mean_;
    QLineSeries* target_line_;
    QScatterSeries* corrected_;
    QLineSeries* correctedMean_;
    QValueAxis* x_;
    QValueAxis* y_;
    QPushButton* save_;
};

} // namespace lum1
