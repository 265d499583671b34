#pragma once
// The scatter plot of a correlation to cores: each pair's gauge density against its core density,
// the outliers in a colour of their own, and both fits drawn over the pairs' range: the offset
// (core = gauge + offset) and the least-squares line.

#include <QChartView>

#include <functional>
#include <optional>
#include <vector>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace lum1 {

struct TPlotPair {
    double Gauge = 0, Core = 0;
    bool Outlier = false;
};

class TCorrelationPlot : public QChartView {
    Q_OBJECT
public:
    explicit TCorrelationPlot(QWidget* parent = nullptr);

    void SetTexts(const std::function<QString(const QString&)>& extra);
    // offset and line (slope, intercept): none when the pairs give none.
    void SetData(const std::vector<TPlotPair>& pairs, std::optional<double> offset,
                 std::optional<std::pair<double, double>> line);

    int PairCount() const;
    int OutlierCount() const;
    bool ShowsOffset() const;
    bool ShowsLine() const;

private:
    QScatterSeries* pairs_;
    QScatterSeries* outliers_;
    QLineSeries* offset_;
    QLineSeries* line_;
    QValueAxis* x_;
    QValueAxis* y_;
};

} // namespace lum1
