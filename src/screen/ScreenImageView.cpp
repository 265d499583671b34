#include "screen/ScreenImageView.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstring>

namespace lum1 {

TScreenImageView::TScreenImageView(int width, int height, QWidget* parent) : QWidget(parent) {
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TScreenImageView::Draw(const TScreenPicture& picture) {
    if (picture_.isNull() || picture_.width() != picture.Width || picture_.height() != picture.Height)
        picture_ = QImage(picture.Width, picture.Height, QImage::Format_RGB32);
    // Both are 0xFFRRGGBB rows; only the row stride may differ.
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(picture_.scanLine(y), picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width,
                    static_cast<std::size_t>(picture.Width) * sizeof(uint32_t));
    update();
}

void TScreenImageView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawImage(0, 0, picture_);
}

void TScreenImageView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(e);
}

} // namespace lum1
