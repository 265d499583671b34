#pragma once
// Pictures as Windows bitmap files: 24 bits per pixel, rows bottom-up, each padded to four
// bytes, as every viewer and the gauge maker's own tools read them.

#include "screen/ScreenImage.h"

#include <QByteArray>
#include <QString>

namespace lum1 {

QByteArray EncodeBmp24(const TScreenPicture& picture);

// Replaces the file only once every byte is on disk. Returns an empty text on success,
// otherwise the system's reason.
QString WriteBmp24(const TScreenPicture& picture, const QString& path);

} // namespace lum1
