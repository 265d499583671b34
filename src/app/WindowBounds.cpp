#include "app/WindowBounds.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace lum1 {

int ClampLeft(int left, int width, int screenWidth) {
    if (left > screenWidth - width)
        return screenWidth - width;
    return left < 0 ? 0 : left;
}

int ClampTop(int top, int height, int screenHeight) {
    // The 25-pixel lift is kept, but never above the screen's top edge, where the title bar
    // could no longer be grabbed.
    if (top > screenHeight - height)
        return std::max(screenHeight - height - 25, 0);
    return top < 0 ? 0 : top;
}

QRect ReadWindowBounds(const TIniFile& ini, const QString& section, QSize minSize, QSize screen) {
    // A window can never be smaller than its minimum size, as the window system enforces it.
    int w = std::max(ini.ReadInteger(section, QStringLiteral("Width"), minSize.width()), minSize.width());
    w = std::min(w, screen.width());
    int h = std::max(ini.ReadInteger(section, QStringLiteral("Height"), minSize.height()), minSize.height());
    h = std::min(h, screen.height());
    const int left = ClampLeft(ini.ReadInteger(section, QStringLiteral("Left"), (screen.width() - w) / 2), w,
                               screen.width());
    const int top = ClampTop(ini.ReadInteger(section, QStringLiteral("Top"), (screen.height() - h) / 2), h,
                             screen.height());
    return QRect(left, top, w, h);
}

QSize ClientSizeForWhole(QSize whole, QMargins frame, QSize screen, QSize minClient) {
    const int w = std::min(whole.width(), screen.width()) - frame.left() - frame.right();
    const int h = std::min(whole.height(), screen.height()) - frame.top() - frame.bottom();
    return QSize(std::max(w, minClient.width()), std::max(h, minClient.height()));
}

} // namespace lum1
