#include "lot/DensityChart.h"

#include "platform/Dialogs.h"
#include "platform/ExportFile.h"
#include "platform/FileError.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace lum1 {

TDensityChart::TDensityChart(IDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("DensityChart"));
    setModal(false);
    resize(760, 440);
    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    normal_ = new QScatterSeries;
    normal_->setMarkerSize(7);
    normal_->setColor(QColor(0x1f, 0x5f, 0xa8));
    normal_->setBorderColor(QColor(0x1f, 0x5f, 0xa8));
    below_ = new QScatterSeries;
    below_->setMarkerSize(8);
    below_->setColor(QColor(0xd0, 0x30, 0x30));
    below_->setBorderColor(QColor(0xd0, 0x30, 0x30));
    mean_ = new QLineSeries;
    mean_->setPen(QPen(QColor(0x2e, 0x8b, 0x57), 2));
    target_line_ = new QLineSeries;
    target_line_->setPen(QPen(QColor(0xd0, 0x30, 0x30), 1.5, Qt::DashLine));
    corrected_ = new QScatterSeries;
    corrected_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    corrected_->setMarkerSize(7);
    corrected_->setColor(QColor(0xe8, 0x9a, 0x1a));
    corrected_->setBorderColor(QColor(0xa8, 0x60, 0x00));
    correctedMean_ = new QLineSeries;
    correctedMean_->setPen(QPen(QColor(0xa8, 0x60, 0x00), 2, Qt::DashDotLine));
    x_ = new QValueAxis;
    x_->setLabelFormat(QStringLiteral("%d"));
    y_ = new QValueAxis;
    y_->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(x_, Qt::AlignBottom);
    chart_->addAxis(y_, Qt::AlignLeft);
    for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{mean_, target_line_, correctedMean_,
                                                                      normal_, below_, corrected_}) {
        chart_->addSeries(s);
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("DensityChartView"));
    view_->setRenderHint(QPainter::Antialiasing);

    save_ = new QPushButton(this);
    save_->setObjectName(QStringLiteral("ChartSave"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);

    for (QScatterSeries* s : {normal_, below_, corrected_})
        connect(s, &QScatterSeries::clicked, this, [this](const QPointF& p) { ChoosePointAt(p.x()); });
    connect(save_, &QPushButton::clicked, this, [this] { SavePng(); });
}

void TDensityChart::SetTexts(const std::function<QString(const QString&)>& extra, const QString& caption) {
    extra_ = extra;
    caption_ = caption;
    const QString title = extra(QStringLiteral("DensityChart"));
    setWindowTitle(title);
    chart_->setTitle(title);
    x_->setTitleText(extra(QStringLiteral("ChartAxisX")));
    y_->setTitleText(extra(QStringLiteral("ChartAxisY")));
    normal_->setName(extra(QStringLiteral("ChartPoints")));
    below_->setName(extra(QStringLiteral("ChartBelow")));
    mean_->setName(extra(QStringLiteral("ChartMean")));
    target_line_->setName(extra(QStringLiteral("ChartTarget")));
    corrected_->setName(extra(QStringLiteral("ChartCorrected")));
    correctedMean_->setName(extra(QStringLiteral("ChartCorrectedMean")));
    save_->setText(extra(QStringLiteral("ChartSave")));
    save_->setToolTip(extra(QStringLiteral("ChartSaveHint")));
    save_->setAccessibleName(extra(QStringLiteral("ChartSave")));
    view_->setToolTip(extra(QStringLiteral("DensityChartHint")));
    view_->setAccessibleName(title);
    setAccessibleName(title);
}

void TDensityChart::SetData(std::vector<TChartPoint> points, double mean, double target,
                            double correctedMean) {
    points_ = std::move(points);
    target_ = target > 0 ? target : 0;
    QList<QPointF> normal, below, corrected;
    double lo = 0, hi = 0;
    bool first = true;
    auto extend = [&](double v) {
        lo = first ? v : std::min(lo, v);
        hi = first ? v : std::max(hi, v);
        first = false;
    };
    for (const TChartPoint& p : points_) {
        (target_ > 0 && p.Density < target_ ? below : normal).append(QPointF(p.Position, p.Density));
        extend(p.Density);
        if (std::isfinite(p.Corrected)) {
            corrected.append(QPointF(p.Position, p.Corrected));
            extend(p.Corrected);
        }
    }
    normal_->replace(normal);
    below_->replace(below);
    corrected_->replace(corrected);
    corrected_->setVisible(!corrected.isEmpty());
    below_->setVisible(target_ > 0);
    const double xFirst = points_.empty() ? 0 : points_.front().Position;
    const double xLast = points_.empty() ? 1 : points_.back().Position;
    mean_->clear();
    if (!points_.empty() && std::isfinite(mean)) {
        mean_->append(xFirst, mean);
        mean_->append(xLast, mean);
    }
    correctedMean_->clear();
    correctedMean_->setVisible(!corrected.isEmpty() && std::isfinite(correctedMean));
    if (correctedMean_->isVisible()) {
        correctedMean_->append(xFirst, correctedMean);
        correctedMean_->append(xLast, correctedMean);
    }
    target_line_->clear();
    target_line_->setVisible(target_ > 0);
    if (target_ > 0) {
        target_line_->append(xFirst, target_);
        target_line_->append(xLast, target_);
        lo = first ? target_ : std::min(lo, target_);
        hi = first ? target_ : std::max(hi, target_);
    }
    const double margin = std::max((hi - lo) * 0.08, 1.0);
    y_->setRange(lo - margin, hi + margin);
    y_->applyNiceNumbers();
    // Places in the table are whole numbers: ticks on whole steps of 1, 2, 5, 10, ... only.
    const double span = std::max(xLast - xFirst, 1.0);
    double step = 1;
    while (span / step > 10)
        step *= (QString::number(step).startsWith(u'2') ? 2.5 : 2);
    x_->setTickType(QValueAxis::TicksDynamic);
    x_->setTickAnchor(0);
    x_->setTickInterval(step);
    x_->setRange(xFirst - 0.5, xLast + 0.5);
    chart_->setToolTip(points_.empty() && extra_ ? extra_(QStringLiteral("ChartEmpty")) : QString());
}

int TDensityChart::BelowCount() const {
    return static_cast<int>(below_->count());
}

int TDensityChart::CorrectedCount() const {
    return static_cast<int>(corrected_->count());
}

void TDensityChart::ChoosePointAt(double x) {
    if (points_.empty())
        return;
    // The positions rise along the points: the nearest one is beside the first not below x.
    auto it = std::lower_bound(points_.begin(), points_.end(), x,
                               [](const TChartPoint& p, double v) { return p.Position < v; });
    if (it == points_.end() || (it != points_.begin() && x - std::prev(it)->Position < it->Position - x))
        it = std::prev(it);
    emit rowChosen(it->ModelRow);
}

QByteArray TDensityChart::Png() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    view_->grab().save(&buffer, "PNG");
    return bytes;
}

void TDensityChart::SavePng() {
    FileDialogRequest request;
    request.parent = this;
    request.title = extra_ ? extra_(QStringLiteral("ChartSave")) : QString();
    request.filters = {extra_ ? extra_(QStringLiteral("ChartPng")) : QStringLiteral("PNG (*.png)")};
    request.defaultSuffix = QStringLiteral("png");
    request.fileName = QStringLiteral("density.png");
    const std::optional<QString> path = dialogs_.SaveFileName(request);
    if (!path)
        return;
    const QString reason = WriteExportFile(*path, Png());
    if (reason.isEmpty())
        return;
    MessageRequest message;
    message.parent = this;
    message.caption = caption_;
    const auto text = [this](const QString& key) { return extra_ ? extra_(key) : key; };
    message.text = (extra_ ? extra_(QStringLiteral("ExportFailed")) : QStringLiteral("%1: %2"))
                       .arg(*path, DescribeFileError(*path, reason, text));
    message.icon = MsgIcon::Error;
    dialogs_.Message(message);
}

// The chart and the button leave F1 to the window, so it reaches here whichever has the focus.
void TDensityChart::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1 && help) {
        help();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace lum1
