#include "report/AcceptanceChart.h"

#include "platform/FormatFloat.h"
#include "report/ReportFonts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace lum1 {

namespace {

QFont ChartFont(int pixelSize, bool bold = false) {
    TFontSpec font;
    font.PixelSize = pixelSize;
    font.Bold = bold;
    return MakeFont(font, TTextRun{});
}

QString Decimal(double v, int decimals, QChar separator) {
    static const char16_t* const patterns[] = {u"#0", u"#0.0", u"#0.00", u"#0.000", u"#0.0000"};
    return FormatFloat(v, patterns[std::clamp(decimals, 0, 4)], separator);
}

} // namespace

std::vector<double> NiceTicks(double lo, double hi, int count) {
    std::vector<double> ticks;
    if (!(hi > lo) || count < 2 || !std::isfinite(lo) || !std::isfinite(hi))
        return ticks;
    const double raw = (hi - lo) / (count - 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power) {
            step = m * power;
            break;
        }
    const double first = std::ceil(lo / step - 1e-9) * step;
    // Counted, not summed: a step below the values' own resolution never loops for ever.
    for (int i = 0; i <= 4 * count; ++i) {
        const double t = first + i * step;
        if (t > hi + step * 1e-9)
            break;
        ticks.push_back(std::fabs(t) < step * 1e-9 ? 0.0 : t);
    }
    return ticks;
}

void TAcceptanceChart::Draw(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / Width, target.height() / Height);
    painter.setRenderHint(QPainter::Antialiasing, true);

    const QRectF plot(58, 26, Width - 58 - 12, Height - 26 - 38);
    // The value range: the points, the limits and the mean, with a margin.
    double lo = data_.Lower, hi = data_.Lower;
    auto include = [&lo, &hi](double v) {
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    };
    for (const auto& p : data_.Points)
        include(p.Value);
    if (data_.Upper)
        include(*data_.Upper);
    if (data_.Mean)
        include(*data_.Mean);
    const double unit = std::pow(10.0, -data_.Decimals);
    if (hi - lo < 10 * unit) {
        lo -= 5 * unit;
        hi += 5 * unit;
    }
    const double pad = (hi - lo) * 0.08;
    lo -= pad;
    hi += pad;
    const int places = std::max(1, data_.PlaceCount);
    // Half a place of room at either end, so the first and last points stand clear of the frame.
    auto xAt = [&](double place) { return plot.left() + (place - 0.5) / places * plot.width(); };
    auto yAt = [&](double v) { return plot.bottom() - (v - lo) / (hi - lo) * plot.height(); };

    painter.setFont(ChartFont(12, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, Width, 20), Qt::AlignLeft | Qt::AlignVCenter, data_.Title);

    // Grid, ticks and their values.
    painter.setFont(ChartFont(10));
    const QPen grid(QColor(210, 210, 210), 0.6);
    for (double t : NiceTicks(lo, hi, 6)) {
        const double y = yAt(t);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - 8, plot.left() - 5, 16), Qt::AlignRight | Qt::AlignVCenter,
                         Decimal(t, data_.Decimals, data_.Separator));
    }
    std::vector<double> xticks = NiceTicks(1, std::max(2, places), 10);
    for (double t : xticks) {
        if (t != std::floor(t) || t < 1 || t > places)
            continue;
        const double x = xAt(t);
        painter.setPen(grid);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 30, plot.bottom() + 3, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(static_cast<int>(t)));
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 18, plot.width(), 16),
                     Qt::AlignHCenter | Qt::AlignTop, data_.AxisX);
    painter.setPen(QPen(Qt::black, 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    // Limits and the mean, named at their right end.
    const QColor red(200, 30, 30), blue(20, 70, 170);
    auto line = [&](double v, const QPen& pen, const QString& label) {
        const double y = yAt(v);
        painter.setPen(pen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(pen.color());
        painter.drawText(QRectF(plot.right() - 220, y - 15, 216, 14), Qt::AlignRight | Qt::AlignBottom,
                         label + QStringLiteral(" ") + Decimal(v, data_.Decimals, data_.Separator));
    };
    QPen limitPen(red, 1.2, Qt::DashLine);
    line(data_.Lower, limitPen, data_.LimitText);
    if (data_.Upper)
        line(*data_.Upper, limitPen, data_.LimitText);
    if (data_.Mean)
        line(*data_.Mean, QPen(blue, 1.0), data_.MeanText);

    // The points; many points get smaller marks so that they stay apart.
    painter.setClipRect(plot);
    const double r = data_.Points.size() > 500 ? 1.2 : data_.Points.size() > 100 ? 1.8 : 2.6;
    painter.setPen(Qt::NoPen);
    for (const auto& p : data_.Points) {
        if (!std::isfinite(p.Value))
            continue;
        switch (p.State) {
        case TAcceptanceChartData::TPointState::Pass:
            painter.setBrush(QColor(30, 30, 30));
            break;
        case TAcceptanceChartData::TPointState::Outside:
            painter.setBrush(red);
            break;
        case TAcceptanceChartData::TPointState::WithinTolerance:
            painter.setBrush(QColor(230, 140, 0));
            break;
        }
        painter.drawEllipse(QPointF(xAt(p.Place), yAt(p.Value)), r, r);
    }
    painter.restore();
}

} // namespace lum1
