#pragma once
// Window bounds read from the settings, corrected to the screen.

#include <QMargins>
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

// The stored sizes are the whole window's, frame and title bar included. The size to give the
// window's inside so that the whole window is `whole` (at most the screen) with the frame the
// window manager reports; at least minClient.
QSize ClientSizeForWhole(QSize whole, QMargins frame, QSize screen, QSize minClient);

} // namespace lum1
