#include "report/ReportLogo.h"

#include <QFileInfo>
#include <QImageReader>

namespace lum1 {

TReportLogo LoadReportLogo(const QString& path) {
    TReportLogo logo;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || !info.isReadable()) {
        logo.Result = TReportLogo::CantOpen;
        return logo;
    }
    if (info.size() > MaxLogoFileBytes) {
        logo.Result = TReportLogo::TooLarge;
        logo.Detail =
            QStringLiteral("%1 MB").arg(static_cast<double>(info.size()) / (1024 * 1024), 0, 'f', 1);
        return logo;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // The content decides, not the name: a text file called logo.png is no picture.
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        logo.Result = TReportLogo::NotImage;
        return logo;
    }
    // The size from the file's header, before anything is decoded.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxLogoSide || size.height() > MaxLogoSide ||
                           static_cast<qint64>(size.width()) * size.height() > MaxLogoPixels)) {
        logo.Result = TReportLogo::TooLarge;
        logo.Detail = QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
        return logo;
    }
    if (size.isValid() && std::max(size.width(), size.height()) > LogoPrintSide)
        reader.setScaledSize(size.scaled(LogoPrintSide, LogoPrintSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) {
        // A header that promised a picture and data that is none, or a decoder's own limit.
        logo.Result = TReportLogo::NotImage;
        return logo;
    }
    if (std::max(image.width(), image.height()) > LogoPrintSide)
        image = image.scaled(LogoPrintSide, LogoPrintSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    logo.Result = TReportLogo::Loaded;
    logo.Image = std::move(image);
    return logo;
}

} // namespace lum1
