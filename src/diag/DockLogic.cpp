#include "diag/DockLogic.h"

#include <cstdlib>

namespace lum1 {

namespace {
bool Near(int a, int b) { return std::abs(a - b) < DockState::SnapDistance; }
} // namespace

int ComputeDockState(const QRect& s, const QRect& m) {
    using namespace DockState;
    const int sl = s.x(), st = s.y(), sw = s.width(), sh = s.height();
    const int ml = m.x(), mt = m.y(), mw = m.width(), mh = m.height();
    int state;
    if (Near(st + sh, mt))
        state = Docked | Above;
    else if (Near(st, mt + mh))
        state = Docked | Below;
    else if (Near(sl + sw, ml))
        state = Docked | Left;
    else if (Near(sl, ml + mw))
        state = Docked | Right;
    else
        return None;

    if (state & 2) {
        if (st < mt - sh || mt + mh < st)
            return None;
        if (Near(st, mt))
            state += FirstEdge;
        if (Near(st + sh, mt + mh))
            state += SecondEdge;
    } else {
        if (sl < ml - sw || ml + mw < sl)
            return None;
        if (Near(sl, ml))
            state += FirstEdge;
        if (Near(sl + sw, ml + mw))
            state += SecondEdge;
    }
    return state;
}

QRect SnapRect(int dockState, const QRect& s, const QRect& m) {
    using namespace DockState;
    if (dockState == None)
        return s;
    QRect r = s;
    const int side = dockState & SideMask;
    switch (side) {
    case Above:
        r.moveTop(m.y() - r.height());
        break;
    case Below:
        r.moveTop(m.y() + m.height());
        break;
    case Left:
        r.moveLeft(m.x() - r.width());
        break;
    default:
        r.moveLeft(m.x() + m.width());
        break;
    }
    const bool first = dockState & FirstEdge, second = dockState & SecondEdge;
    if (side == Above || side == Below) {
        if (first) {
            r.moveLeft(m.x());
            if (second)
                r.setWidth(m.width());
        } else if (second) {
            r.moveLeft(m.x() + m.width() - r.width());
        }
    } else {
        if (first) {
            r.moveTop(m.y());
            if (second)
                r.setHeight(m.height());
        } else if (second) {
            r.moveTop(m.y() + m.height() - r.height());
        }
    }
    return r;
}

ShowPlacement PlaceForShow(const QRect& s, const QRect& m, int screenHeight) {
    using namespace DockState;
    if (s.height() < screenHeight - m.y() - m.height())
        return {QRect(m.x(), m.y() + m.height(), m.width(), s.height()), Docked | Below | FirstEdge | SecondEdge};
    if (s.height() < m.y())
        return {QRect(m.x(), m.y() - s.height(), m.width(), s.height()), Docked | Above | FirstEdge | SecondEdge};
    return {s, None};
}

} // namespace lum1
