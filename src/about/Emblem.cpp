#include "about/Emblem.h"

#include <QPainter>
#include <QPainterPath>

namespace lum1 {

// Drawn rather than shipped, so that it stays sharp at any scale: a gauge's dial over the
// product name.
QPixmap EmblemPicture() {
    QPixmap pixmap(148, 90);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1F, 0x3A, 0x6E));
    p.drawRoundedRect(QRectF(2, 2, 144, 86), 12, 12);
    p.setPen(QPen(QColor(0xF2, 0xB2, 0x33), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(44, 12, 60, 60), 30 * 16, 120 * 16);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(74, 44), QPointF(92, 24));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(24);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(2, 48, 144, 36), Qt::AlignCenter, QStringLiteral("LUM-1"));
    return pixmap;
}

} // namespace lum1
