#pragma once
// The chart of the acceptance report: the judged value of every point in the lot's order, the
// limits as dashed lines, the mean as a line, the points outside the limits in red. Drawn as
// vectors for the report's picture box, so a PDF keeps its lines and texts sharp.

#include "report/ReportPicture.h"

#include <QChar>
#include <QString>

#include <optional>
#include <vector>

namespace lum1 {

struct TAcceptanceChartData {
    enum class TPointState { Pass, Outside, WithinTolerance };
    struct TPoint {
        int Place = 0; // 1-based place in the lot (the report's list numbers it the same)
        double Value = 0;
        TPointState State = TPointState::Pass;
    };
    std::vector<TPoint> Points;
    int PlaceCount = 0; // places on the axis: the lot's records
    double Lower = 0;
    std::optional<double> Upper;
    std::optional<double> Mean;
    int Decimals = 3; // of the value axis and the line labels
    QString Title;    // the quantity, with its unit
    QString AxisX;
    QString LimitText, MeanText;
    QChar Separator = u'.';
};

class TAcceptanceChart : public TReportPicture {
public:
    explicit TAcceptanceChart(TAcceptanceChartData data) : data_(std::move(data)) {}
    // Drawn for a box of this size in layout units; other boxes scale it.
    static constexpr double Width = 680, Height = 270;
    QSizeF Size() const override { return {Width, Height}; }
    void Draw(QPainter& painter, const QRectF& target) const override;

private:
    TAcceptanceChartData data_;
};

// Tick values that divide lo..hi in steps of 1, 2 or 5 times a power of ten, about `count` of them.
std::vector<double> NiceTicks(double lo, double hi, int count);

} // namespace lum1
