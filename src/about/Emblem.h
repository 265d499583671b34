#pragma once
// The emblem the About window shows when the vendor file names no picture of its own.

#include <QPixmap>

namespace lum1 {

QPixmap EmblemPicture();

} // namespace lum1
