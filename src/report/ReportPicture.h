#pragma once
// Pictures on report pages: a picture box of a band (TfrxPictureView) holds a drawing that the
// renderers paint into its box, scaled to fit with its proportions kept and centred. A drawing
// is a vector drawing or an image; it paints itself with a QPainter, so the preview, the printer
// and the PDF file show the same picture (text and lines stay vectors in a PDF).

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;

namespace lum1 {

class TReportPicture {
public:
    virtual ~TReportPicture() = default;
    // The drawing's own extent; only its proportions matter.
    virtual QSizeF Size() const = 0;
    // Paints the drawing into target (layout units on the painter).
    virtual void Draw(QPainter& painter, const QRectF& target) const = 0;
};

// An image, drawn smoothly scaled.
class TImagePicture : public TReportPicture {
public:
    explicit TImagePicture(QImage image) : image_(std::move(image)) {}
    QSizeF Size() const override { return image_.size(); }
    void Draw(QPainter& painter, const QRectF& target) const override;

private:
    QImage image_;
};

class TfrxPictureView {
public:
    QString Name;
    double Left = 0, Top = 0, Width = 0, Height = 0;
    std::shared_ptr<const TReportPicture> Picture; // none: an empty box
    bool Frame = false;
};

// The place of a picture in a box: as large as fits with its proportions, centred.
QRectF FittedPictureRect(const TReportPicture& picture, const QRectF& box);

void DrawReportPicture(QPainter& painter, const TReportPicture& picture, const QRectF& box);

} // namespace lum1
