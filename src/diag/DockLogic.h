#pragma once
// How the message history window docks to the main window: the dock state, recomputed from
// the two window rectangles, and the snapped rectangle it leads to. Rectangles are whole
// windows in screen pixels (left, top, width, height).

#include <QRect>

namespace lum1 {

namespace DockState {
constexpr int None = 0;
constexpr int Docked = 128;
constexpr int SideMask = 3; // 0 above, 1 below, 2 left, 3 right
constexpr int Above = 0;
constexpr int Below = 1;
constexpr int Left = 2;
constexpr int Right = 3;
constexpr int FirstEdge = 4;  // left edge (above/below) or top edge (left/right) flush
constexpr int SecondEdge = 8; // right edge (above/below) or bottom edge (left/right) flush
constexpr int SnapDistance = 10;
} // namespace DockState

// The dock state that the history window S has next to the main window M.
int ComputeDockState(const QRect& s, const QRect& m);

// Where S goes when it snaps with the given dock state (S unchanged for state 0).
QRect SnapRect(int dockState, const QRect& s, const QRect& m);

// A click on the status line shows S: below M if there is room, else above, else where it
// was. screenHeight is the primary screen's height.
struct ShowPlacement {
    QRect rect;
    int dockState;
};
ShowPlacement PlaceForShow(const QRect& s, const QRect& m, int screenHeight);

} // namespace lum1
