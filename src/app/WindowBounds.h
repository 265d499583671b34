#pragma once
// Window bounds read from the settings, corrected to the screen.

#include <QRect>
#include <QSize>

namespace lum1 {

class TIniFile;

// Reads [section] Width, Height, Left, Top with their defaults and clamps: sizes at most the
// screen's, Left flush with the right edge at most, Top 25 pixels above flush at most, neither
// below 0. minSize gives the default size; a smaller stored size is raised to it.
QRect ReadWindowBounds(const TIniFile& ini, const QString& section, QSize minSize, QSize screen);

// Left/Top alone, for windows whose size is fixed (same clamps).
int ClampLeft(int left, int width, int screenWidth);
int ClampTop(int top, int height, int screenHeight);

} // namespace lum1
