#include "screen/ScreenImage.h"

#include <algorithm>

namespace lum1 {

namespace {

constexpr int FrameWidth = 2;
// The grey of the field: the 15-bit word 0x3DEF (120 per channel) for version 1, 0x7F7F7F for
// version 2.
constexpr uint32_t GreyV1 = PictureRgb(120, 120, 120);
constexpr uint32_t GreyV2 = PictureRgb(127, 127, 127);
constexpr uint32_t Black = PictureRgb(0, 0, 0);

// 5-bit channels: red in bits 0-4, green 5-9, blue 10-14; bit 15 carries nothing.
constexpr uint32_t Rgb15(uint16_t word) {
    return PictureRgb(static_cast<uint8_t>((word & 0x1F) << 3),
                      static_cast<uint8_t>(((word >> 5) & 0x1F) << 3),
                      static_cast<uint8_t>(((word >> 10) & 0x1F) << 3));
}

void DecodeV1(std::span<const uint8_t> bytes, TScreenPicture& p) {
    // Column by column: pixel i goes to column i / 480, row i % 480.
    const std::size_t whole = std::min(bytes.size(), ScreenImageBytesV1) / 2;
    for (int x = 0; x < ScreenImageWidthV1; ++x) {
        uint32_t* out =
            p.Pixels.data() + static_cast<std::size_t>(PictureMargin) * p.Width + PictureMargin + x;
        for (int y = 0; y < ScreenImageHeight; ++y, out += p.Width) {
            const std::size_t i = static_cast<std::size_t>(x) * ScreenImageHeight + y;
            uint16_t word = 0;
            if (i < whole)
                word = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
            else if (2 * i < bytes.size()) // the low byte of a word cut in half
                word = bytes[2 * i];
            *out = Rgb15(word);
        }
    }
}

void DecodeV2(std::span<const uint8_t> bytes, TScreenPicture& p) {
    const std::size_t available = std::min(bytes.size(), ScreenImageBytesV2);
    for (int y = 0; y < ScreenImageHeight; ++y) {
        uint32_t* out =
            p.Pixels.data() + static_cast<std::size_t>(PictureMargin + y) * p.Width + PictureMargin;
        const std::size_t rowStart = static_cast<std::size_t>(y) * ScreenImageWidthV2 * 3;
        for (int x = 0; x < ScreenImageWidthV2; ++x) {
            const std::size_t k = rowStart + static_cast<std::size_t>(x) * 3;
            uint8_t b = 0, g = 0, r = 0;
            if (k + 2 < available) {
                b = bytes[k];
                g = bytes[k + 1];
                r = bytes[k + 2];
            } else {
                if (k < available)
                    b = bytes[k];
                if (k + 1 < available)
                    g = bytes[k + 1];
            }
            out[x] = PictureRgb(r, g, b);
        }
    }
}

} // namespace

TScreenPicture FillBackground(bool deviceV2) {
    TScreenPicture p;
    p.Width = deviceV2 ? PictureWidthV2 : PictureWidthV1;
    p.Height = PictureHeight;
    p.Pixels.assign(static_cast<std::size_t>(p.Width) * p.Height, deviceV2 ? GreyV2 : GreyV1);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            if (x < FrameWidth || x >= p.Width - FrameWidth || y < FrameWidth || y >= p.Height - FrameWidth)
                p.Pixels[static_cast<std::size_t>(y) * p.Width + x] = Black;
    return p;
}

TScreenPicture DecodeScreenImage(std::span<const uint8_t> received, bool deviceV2) {
    TScreenPicture p = FillBackground(deviceV2);
    if (deviceV2)
        DecodeV2(received, p);
    else
        DecodeV1(received, p);
    return p;
}

} // namespace lum1
