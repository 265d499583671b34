#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lum1 {

namespace {

const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kBlue(0x2a, 0x6f, 0xc9);
const QColor kGreen(0x2e, 0x9d, 0x57);
const QColor kAmber(0xe0, 0xa1, 0x24);
const QColor kRed(0xc9, 0x3c, 0x3c);
const QColor kPaper(0xfa, 0xfa, 0xf7);

void Draw(QPainter& p, int index) {
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(kInk, 1.0);
    p.setPen(pen);
    switch (index) {
    case 0: { // open: folder
        p.setBrush(kAmber);
        QPainterPath path;
        path.moveTo(1.5, 4.5);
        path.lineTo(6, 4.5);
        path.lineTo(7.5, 6);
        path.lineTo(14.5, 6);
        path.lineTo(14.5, 13.5);
        path.lineTo(1.5, 13.5);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case 1: // save: diskette
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        break;
    case 2: // read from the gauge: device with arrow
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(1.5, 1.5, 8, 13), 1.5, 1.5);
        p.setBrush(kGreen);
        p.drawRect(QRectF(3, 3.5, 5, 4));
        p.setPen(QPen(kGreen, 2.0));
        p.drawLine(QPointF(10, 10), QPointF(15, 10));
        p.drawLine(QPointF(12.5, 7.5), QPointF(15, 10));
        p.drawLine(QPointF(12.5, 12.5), QPointF(15, 10));
        break;
    case 3: // screenshot: display
        p.setBrush(kInk);
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 10), 1.5, 1.5);
        p.setBrush(QColor(0x9f, 0xd6, 0x7a));
        p.drawRect(QRectF(3.5, 4.5, 9, 6));
        p.drawLine(QPointF(6, 14.5), QPointF(10, 14.5));
        break;
    case 4: // EEPROM: chip
        p.setBrush(kInk);
        p.drawRect(QRectF(4.5, 3.5, 7, 9));
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(2, 5.5 + 2.5 * i), QPointF(4.5, 5.5 + 2.5 * i));
            p.drawLine(QPointF(11.5, 5.5 + 2.5 * i), QPointF(14, 5.5 + 2.5 * i));
        }
        break;
    case 5: // print: printer
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(0x8a, 0x94, 0xa3));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case 6: // exit: door with arrow
        p.setBrush(kPaper);
        p.drawRect(QRectF(2.5, 1.5, 7, 13));
        p.setPen(QPen(kRed, 2.0));
        p.drawLine(QPointF(7, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
        p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
        break;
    case 7: // copy: two sheets
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 1.5, 8, 10));
        p.setBrush(QColor(0xdc, 0xe8, 0xf7));
        p.drawRect(QRectF(6.5, 4.5, 8, 10));
        break;
    case 8: // parameters: gear-like wheel
        p.setBrush(QColor(0x8a, 0x94, 0xa3));
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
        break;
    case 9:    // English
    case 10: { // Russian: flag stripes
        const QColor stripes[2][3] = {{kBlue, kPaper, kRed}, {kPaper, kBlue, kRed}};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            p.setBrush(stripes[index - 9][i]);
            p.drawRect(QRectF(1, 3 + 3.4 * i, 14, 3.4));
        }
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1, 3, 14, 10.2));
        break;
    }
    case 11: // help: question mark in a circle
    case 12: // about: "i" in a circle
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::white);
        {
            QFont f;
            f.setPixelSize(11);
            f.setBold(true);
            p.setFont(f);
        }
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, index == 11 ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    default:
        break;
    }
}

} // namespace

QIcon ImageListIcon(int index) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(16 * scale, 16 * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        Draw(p, index);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace lum1
