#pragma once
// The gauge's display picture: the bytes the gauge sends turned into the framed picture the
// screen window shows, saves and copies. No widget here, so tests and benchmarks reach it
// without a window.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lum1 {

// What each gauge version sends: version 1 640 x 480 pixels of 15-bit colour, column by column;
// version 2 800 x 480 pixels of 24-bit colour (blue, green, red), row by row.
constexpr int ScreenImageHeight = 480;
constexpr int ScreenImageWidthV1 = 640;
constexpr int ScreenImageWidthV2 = 800;
constexpr std::size_t ScreenImageBytesV1 = 614400;
constexpr std::size_t ScreenImageBytesV2 = 1152000;

// The picture around the image: a 2-pixel black frame, then a 2-pixel grey band.
constexpr int PictureMargin = 4;
constexpr int PictureHeight = ScreenImageHeight + 2 * PictureMargin;   // 488
constexpr int PictureWidthV1 = ScreenImageWidthV1 + 2 * PictureMargin; // 648
constexpr int PictureWidthV2 = ScreenImageWidthV2 + 2 * PictureMargin; // 808

// Pixels as 0xFFRRGGBB, row by row from the top left: the layout of a 32-bit RGB QImage.
struct TScreenPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;

    uint32_t At(int column, int row) const { return Pixels[static_cast<std::size_t>(row) * Width + column]; }
};

constexpr uint32_t PictureRgb(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// The frame and the grey field of a version's picture, with no image in it yet.
TScreenPicture FillBackground(bool deviceV2);

// The whole picture of the received bytes. Bytes the buffer does not hold (a short image)
// count as zero, as in a receive buffer that nothing has been written to; bytes beyond the
// version's image size are not looked at.
TScreenPicture DecodeScreenImage(std::span<const uint8_t> received, bool deviceV2);

} // namespace lum1
