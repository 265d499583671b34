#include "diag/DockLogic.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

const QRect M(100, 100, 800, 600); // main window: left 100, top 100, right edge 900, bottom 700

TEST(DockLogic, DockStateFromWindowRectangles) {
    const struct {
        QRect s;
        int expected;
        const char* what;
    } cases[] = {
        {QRect(100, 700, 800, 150), 141, "below, flush both edges"},
        {QRect(100, -50, 800, 150), 140, "above, flush both edges"},
        {QRect(109, 709, 300, 150), 133, "below within 9 px, left edge near"},
        {QRect(110, 710, 300, 150), 0, "exactly 10 px does not dock"},
        {QRect(300, 691, 300, 150), 129, "below, overlapping, no edge flush"},
        {QRect(605, 700, 300, 150), 137, "below, right edge within 9"},
        {QRect(-200, 100, 300, 600), 142, "left, top and bottom flush"},
        {QRect(900, 300, 300, 100), 131, "right, neither edge"},
        {QRect(900, 100, 300, 200), 135, "right, top flush"},
        {QRect(900, 720, 300, 100), 0, "right but wholly below"},
        {QRect(901, -1, 300, 100), 0, "above but wholly right"},
        {QRect(900, 701, 300, 100), 129, "near the bottom edge wins over the right edge"},
        {QRect(-1000, 700, 300, 150), 0, "below but wholly left"},
        {QRect(-200, 700, 300, 150), 129, "below, touching at the corner"},
        {QRect(400, 300, 300, 150), 0, "inside, no edge near"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComputeDockState(c.s, M), c.expected) << c.what;
}

TEST(DockLogic, SnapPutsTheWindowAgainstItsSide) {
    const struct {
        int state;
        QRect s;
        QRect expected;
    } cases[] = {
        {0, QRect(5, 5, 50, 50), QRect(5, 5, 50, 50)},
        {141, QRect(108, 705, 300, 150), QRect(100, 700, 800, 150)},
        {133, QRect(108, 705, 300, 150), QRect(100, 700, 300, 150)},
        {137, QRect(590, 705, 300, 150), QRect(600, 700, 300, 150)},
        {129, QRect(300, 705, 300, 150), QRect(300, 700, 300, 150)},
        {128, QRect(300, 0, 300, 150), QRect(300, -50, 300, 150)},
        {142, QRect(-190, 105, 300, 500), QRect(-200, 100, 300, 600)},
        {139, QRect(905, 105, 300, 500), QRect(900, 200, 300, 500)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapRect(c.state, c.s, M), c.expected) << c.state;
}

TEST(DockLogic, StatusLineClickPlacesBelowThenAboveThenNowhere) {
    const QRect s(0, 0, 300, 150);
    ShowPlacement below = PlaceForShow(s, QRect(100, 100, 800, 600), 1080);
    EXPECT_EQ(below.dockState, 141);
    EXPECT_EQ(below.rect, QRect(100, 700, 800, 150));
    ShowPlacement above = PlaceForShow(s, QRect(100, 200, 800, 880), 1080);
    EXPECT_EQ(above.dockState, 140);
    EXPECT_EQ(above.rect, QRect(100, 50, 800, 150));
    ShowPlacement none = PlaceForShow(s, QRect(100, 100, 800, 980), 1080);
    EXPECT_EQ(none.dockState, 0);
    EXPECT_EQ(none.rect, s);
}

} // namespace
} // namespace lum1
