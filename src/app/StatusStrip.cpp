#include "app/StatusStrip.h"

#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOption>

namespace lum1 {

TShape::TShape(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("ShapeLink")); }

void TShape::SetBrushColor(const QColor& c) {
    color_ = c;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x55, 0x5f, 0x6b), 1));
    p.setBrush(color_);
    const qreal d = std::min(width(), height()) - 1.0;
    p.drawEllipse(QRectF((width() - d) / 2.0, (height() - d) / 2.0, d, d));
}

StatusStrip::StatusStrip(QWidget* parent)
    : QWidget(parent), sbStatus(new QPushButton(this)), ProgressBar1(new QProgressBar(this)),
      ShapeLink(new TShape(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(BarHeight + 3);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setFlat(true);
    sbStatus->setFocusPolicy(Qt::NoFocus);
    sbStatus->setCursor(Qt::PointingHandCursor);
    sbStatus->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 0 4px; border: none; }"
                                           "QPushButton:hover { background: rgba(42,111,201,30); }"));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
}

QString StatusStrip::Panel0Text() const { return sbStatus->text(); }

void StatusStrip::SetPanel0Text(const QString& text) {
    sbStatus->setText(text);
    sbStatus->setToolTip(text);
}

void StatusStrip::Layout() {
    const int h = BarHeight;
    const int p0 = panelWidth[0], p1 = panelWidth[1];
    sbStatus->setGeometry(1, 2, std::max(p0 - 2, 0), h - 2);
    ProgressBar1->setGeometry(p0 + 3, 4, std::max(p1 - 5, 0), h - 6);
    ShapeLink->setGeometry(p0 + p1 + 5, 3, 9, h - 2);
}

void StatusStrip::paintEvent(QPaintEvent*) {
    // Thin separators between the panels.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, 0, width(), 0);
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        x += panelWidth[i];
        p.drawLine(x, 4, x, BarHeight);
    }
}

} // namespace lum1
