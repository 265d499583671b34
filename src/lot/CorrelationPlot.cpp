#include "lot/CorrelationPlot.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace lum1 {

TCorrelationPlot::TCorrelationPlot(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("CorrelationPlot"));
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    pairs_ = new QScatterSeries;
    pairs_->setMarkerSize(8);
    pairs_->setColor(QColor(0x1f, 0x5f, 0xa8));
    pairs_->setBorderColor(QColor(0x1f, 0x5f, 0xa8));
    outliers_ = new QScatterSeries;
    outliers_->setMarkerSize(10);
    outliers_->setColor(QColor(0xd0, 0x30, 0x30));
    outliers_->setBorderColor(QColor(0xd0, 0x30, 0x30));
    offset_ = new QLineSeries;
    offset_->setPen(QPen(QColor(0x2e, 0x8b, 0x57), 2, Qt::DashLine));
    line_ = new QLineSeries;
    line_->setPen(QPen(QColor(0xa8, 0x60, 0x00), 2));
    x_ = new QValueAxis;
    x_->setLabelFormat(QStringLiteral("%.0f"));
    y_ = new QValueAxis;
    y_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x_, Qt::AlignBottom);
    chart->addAxis(y_, Qt::AlignLeft);
    for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{offset_, line_, pairs_, outliers_}) {
        chart->addSeries(s);
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    // The view made a chart of its own, which setChart() only lets go of.
    QChart* made = this->chart();
    setChart(chart);
    delete made;
}

void TCorrelationPlot::SetTexts(const std::function<QString(const QString&)>& extra) {
    chart()->setTitle(extra(QStringLiteral("CorrPlotTitle")));
    x_->setTitleText(extra(QStringLiteral("CorrPlotGauge")));
    y_->setTitleText(extra(QStringLiteral("CorrPlotCore")));
    pairs_->setName(extra(QStringLiteral("CorrPlotPairs")));
    outliers_->setName(extra(QStringLiteral("CorrPlotOutliers")));
    offset_->setName(extra(QStringLiteral("CorrPlotOffset")));
    line_->setName(extra(QStringLiteral("CorrPlotLine")));
    setToolTip(extra(QStringLiteral("CorrPlotHint")));
    setAccessibleName(extra(QStringLiteral("CorrPlotTitle")));
}

void TCorrelationPlot::SetData(const std::vector<TPlotPair>& pairs, std::optional<double> offset,
                               std::optional<std::pair<double, double>> line) {
    QList<QPointF> normal, outliers;
    double lo = 0, hi = 0, ylo = 0, yhi = 0;
    bool first = true;
    for (const TPlotPair& p : pairs) {
        (p.Outlier ? outliers : normal).append(QPointF(p.Gauge, p.Core));
        lo = first ? p.Gauge : std::min(lo, p.Gauge);
        hi = first ? p.Gauge : std::max(hi, p.Gauge);
        ylo = first ? p.Core : std::min(ylo, p.Core);
        yhi = first ? p.Core : std::max(yhi, p.Core);
        first = false;
    }
    pairs_->replace(normal);
    outliers_->replace(outliers);
    outliers_->setVisible(!outliers.isEmpty());
    // The fits over the gauge densities' range, a little beyond, as a lab draws them.
    const double span = std::max(hi - lo, 10.0);
    const double x0 = lo - span * 0.05, x1 = hi + span * 0.05;
    offset_->clear();
    line_->clear();
    auto extend = [&](double y) {
        ylo = std::min(ylo, y);
        yhi = std::max(yhi, y);
    };
    if (offset && !first) {
        offset_->append(x0, x0 + *offset);
        offset_->append(x1, x1 + *offset);
        extend(x0 + *offset);
        extend(x1 + *offset);
    }
    if (line && !first) {
        line_->append(x0, line->first * x0 + line->second);
        line_->append(x1, line->first * x1 + line->second);
        extend(line->first * x0 + line->second);
        extend(line->first * x1 + line->second);
    }
    offset_->setVisible(offset_->count() > 0);
    line_->setVisible(line_->count() > 0);
    if (first) {
        // No pair yet: the densities an asphalt lot has, so that the axes read as densities
        // rather than as a repeated 0 and 1 of a unit range under a whole-number format.
        x_->setRange(2000, 2600);
        y_->setRange(2000, 2600);
        return;
    }
    x_->setRange(x0, x1);
    x_->applyNiceNumbers();
    const double margin = std::max((yhi - ylo) * 0.08, 5.0);
    y_->setRange(ylo - margin, yhi + margin);
    y_->applyNiceNumbers();
}

int TCorrelationPlot::PairCount() const {
    return static_cast<int>(pairs_->count() + outliers_->count());
}
int TCorrelationPlot::OutlierCount() const {
    return static_cast<int>(outliers_->count());
}
bool TCorrelationPlot::ShowsOffset() const {
    return offset_->isVisible() && offset_->count() > 0;
}
bool TCorrelationPlot::ShowsLine() const {
    return line_->isVisible() && line_->count() > 0;
}

} // namespace lum1
