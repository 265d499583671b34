#include "about/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPen>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace lum1 {

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    SetLinkLook(true);
    SetActive(true);
}

void TLinkLabel::SetLinkLook(bool textLink) {
    textLink_ = textLink;
    SetActive(active_);
}

void TLinkLabel::SetActive(bool active) {
    active_ = active;
    setCursor(active ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setFocusPolicy(active ? Qt::TabFocus : Qt::NoFocus);
    QFont f = font();
    f.setUnderline(active && textLink_);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText,
               active && textLink_ ? QColor(Qt::blue) : QPalette().color(QPalette::WindowText));
    setPalette(p);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (active_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(e);
}

void TLinkLabel::keyPressEvent(QKeyEvent* e) {
    if (active_ && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(e);
}

// A label draws no focus of its own; without the frame a user tabbing through the window could
// not tell which link Enter would open.
void TLinkLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    if (!textLink_) {
        // The style's thin frame disappears against the edge of a picture.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        return;
    }
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

} // namespace lum1
