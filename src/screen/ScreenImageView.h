#pragma once
// One of the screen window's two pictures: shows a picture at its own size and reports a click.

#include "screen/ScreenImage.h"

#include <QImage>
#include <QWidget>

namespace lum1 {

class TScreenImageView : public QWidget {
    Q_OBJECT
public:
    TScreenImageView(int width, int height, QWidget* parent);

    // Copies the picture into the view's bitmap, which is created on first use and kept.
    void Draw(const TScreenPicture& picture);
    const QImage& Picture() const { return picture_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage picture_;
};

} // namespace lum1
