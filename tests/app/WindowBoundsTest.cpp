#include "app/WindowBounds.h"
#include "platform/IniFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

QRect Bounds(const QByteArray& ini, QSize screen) {
    test::TempDir dir;
    dir.Write("lum1.ini", ini);
    return ReadWindowBounds(TIniFile(dir.File("lum1.ini")), "FormMain", QSize(400, 300), screen);
}

TEST(WindowBounds, DefaultsAndClamps) {
    const QSize hd(1920, 1080);
    const struct {
        const char* ini;
        QRect expected;
        const char* what;
    } cases[] = {
        {"", QRect(760, 390, 400, 300), "no file: minimum size, centred"},
        {"[FormMain]\r\nWidth=800\r\nHeight=600\r\nLeft=5000\r\nTop=5000\r\n", QRect(1120, 455, 800, 600),
         "Left flush right, Top 25 above flush"},
        {"[FormMain]\r\nWidth=800\r\nHeight=600\r\nLeft=-30\r\nTop=-5\r\n", QRect(0, 0, 800, 600),
         "negative: 0"},
        {"[FormMain]\r\nWidth=9000\r\nHeight=9000\r\n", QRect(0, 0, 1920, 1080), "at most the screen"},
        {"[FormMain]\r\nWidth=9000\r\nHeight=1070\r\nTop=100\r\n", QRect(0, 0, 1920, 1070),
         "the 25-pixel lift stops at the top edge"},
        {"[FormMain]\r\nWidth=-50\r\nHeight=junk\r\n", QRect(760, 390, 400, 300),
         "below minimum, unreadable"},
        {"[FormMain]\r\nWidth=0x320\r\nHeight=$258\r\n", QRect(560, 240, 800, 600), "hex values"},
        {"[FormMain]\r\nLeft=99999999999\r\n", QRect(760, 390, 400, 300), "overflow reads the default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Bounds(c.ini, hd), c.expected) << c.what;
}

TEST(WindowBounds, StoredSizeIsTheWholeWindowsAndTheInsideMakesUpTheRest) {
    const QSize hd(1920, 1080), minimum(400, 300);
    const QMargins titleAndBorders(4, 28, 4, 4), none;
    struct Case {
        QSize whole;
        QMargins frame;
        QSize inside;
        const char* what;
    };
    for (const Case& c :
         {Case{{1000, 600}, titleAndBorders, {992, 568}, "framed"},
          Case{{1000, 600}, none, {1000, 600}, "no window manager: the inside is the whole"},
          Case{{1920, 1080}, titleAndBorders, {1912, 1048}, "the screen's size: the status bar stays on it"},
          Case{{622, 5000}, titleAndBorders, {614, 1048}, "taller than the screen"},
          Case{{300, 200}, titleAndBorders, {400, 300}, "never below the minimum inside"}})
        EXPECT_EQ(ClientSizeForWhole(c.whole, c.frame, hd, minimum), c.inside) << c.what;
}

} // namespace
} // namespace lum1
