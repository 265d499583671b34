#pragma once
// The program's 16x16 pictures (menus and toolbar), drawn at run time so that they stay
// sharp at any screen scale.

#include <QIcon>

namespace lum1 {

// Indices: 0 open, 1 save, 2 read, 3 screenshot, 4 EEPROM, 5 print, 6 exit, 7 copy,
// 8 parameters, 9 English, 10 Russian, 11 help, 12 about.
QIcon ImageListIcon(int index);
constexpr int ImageListCount = 13;

} // namespace lum1
