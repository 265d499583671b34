#include "report/ReportPicture.h"

#include <QPainter>

namespace lum1 {

void TImagePicture::Draw(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image_);
    painter.restore();
}

QRectF FittedPictureRect(const TReportPicture& picture, const QRectF& box) {
    const QSizeF size = picture.Size();
    if (size.width() <= 0 || size.height() <= 0 || box.isEmpty())
        return {};
    const QSizeF fitted = size.scaled(box.size(), Qt::KeepAspectRatio);
    return QRectF(box.center().x() - fitted.width() / 2, box.center().y() - fitted.height() / 2,
                  fitted.width(), fitted.height());
}

void DrawReportPicture(QPainter& painter, const TReportPicture& picture, const QRectF& box) {
    const QRectF target = FittedPictureRect(picture, box);
    if (target.isEmpty())
        return;
    painter.save();
    // A drawing never spills over its box onto the neighbouring text.
    painter.setClipRect(box, Qt::IntersectClip);
    picture.Draw(painter, target);
    painter.restore();
}

} // namespace lum1
