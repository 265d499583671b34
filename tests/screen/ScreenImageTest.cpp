// The display picture: decoding of both gauge versions, the frame around it, short images, and
// the bitmap file it is saved as.
#include "screen/ScreenImage.h"
#include "screen/BmpFile.h"

#include "TempDir.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb At(const TScreenPicture& p, int x, int y) {
    const uint32_t v = p.At(x, y);
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF)};
}

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << '(' << c.r << ',' << c.g << ',' << c.b << ')';
}

std::vector<uint8_t> V1Words(std::initializer_list<uint16_t> first, uint16_t rest = 0) {
    std::vector<uint8_t> bytes(ScreenImageBytesV1);
    for (size_t i = 0; i < bytes.size() / 2; ++i) {
        const uint16_t w = i < first.size() ? first.begin()[i] : rest;
        bytes[2 * i] = static_cast<uint8_t>(w & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(w >> 8);
    }
    return bytes;
}

TEST(ScreenImage, Version1IsReadColumnByColumnIn15BitColour) {
    // Word 0: pure red; word 1 (next row): green; word 480 (next column): blue; word 2 has
    // only bit 15, which carries nothing.
    std::vector<uint8_t> bytes = V1Words({0x001F, 0x03E0, 0x8000});
    bytes[2 * 480] = 0x00;
    bytes[2 * 480 + 1] = 0x7C;
    const TScreenPicture p = DecodeScreenImage(bytes, false);
    ASSERT_EQ(p.Width, 648);
    ASSERT_EQ(p.Height, 488);
    EXPECT_EQ(At(p, 4, 4), (Rgb{248, 0, 0}));
    EXPECT_EQ(At(p, 4, 5), (Rgb{0, 248, 0}));
    EXPECT_EQ(At(p, 4, 6), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(p, 5, 4), (Rgb{0, 0, 248}));
}

TEST(ScreenImage, Version2IsReadRowByRowAsBlueGreenRed) {
    std::vector<uint8_t> bytes(ScreenImageBytesV2);
    const uint8_t first[] = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00};
    std::copy(std::begin(first), std::end(first), bytes.begin());
    bytes[800 * 3] = 0xFF; // pixel 800: blue, at the start of the second row
    const TScreenPicture p = DecodeScreenImage(bytes, true);
    ASSERT_EQ(p.Width, 808);
    EXPECT_EQ(At(p, 4, 4), (Rgb{255, 0, 0}));
    EXPECT_EQ(At(p, 5, 4), (Rgb{0, 255, 0}));
    EXPECT_EQ(At(p, 4, 5), (Rgb{0, 0, 255}));
}

// Every pixel of the picture of a white image: black frame, grey band, the image inside.
TEST(ScreenImage, FrameAndBandSurroundTheImage) {
    struct Case {
        bool v2;
        std::vector<uint8_t> white;
        Rgb image, band;
    };
    const Case cases[] = {
        {false, V1Words({}, 0x7FFF), {248, 248, 248}, {120, 120, 120}},
        {true, std::vector<uint8_t>(ScreenImageBytesV2, 0xFF), {255, 255, 255}, {127, 127, 127}},
    };
    for (const Case& c : cases) {
        const TScreenPicture p = DecodeScreenImage(c.white, c.v2);
        int wrong = 0;
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x) {
                const int edge = std::min({x, y, p.Width - 1 - x, p.Height - 1 - y});
                const Rgb expected = edge < 2 ? Rgb{0, 0, 0} : edge < 4 ? c.band : c.image;
                if (At(p, x, y) != expected && ++wrong < 5)
                    ADD_FAILURE() << "v2=" << c.v2 << " at " << x << ',' << y;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// A short image decodes what arrived; what did not arrive counts as zero, and nothing is read
// past the buffer (AddressSanitizer watches the reads of a buffer of exactly this size).
TEST(ScreenImage, ShortImagesDecodeWhatArrived) {
    {
        const std::vector<uint8_t> bytes = {0x00, 0x00, 0xFF, 0x11, 0x22}; // a pixel and 2/3 of the next
        const TScreenPicture p = DecodeScreenImage(bytes, true);
        EXPECT_EQ(At(p, 4, 4), (Rgb{255, 0, 0}));
        EXPECT_EQ(At(p, 5, 4), (Rgb{0, 0x22, 0x11}));
        EXPECT_EQ(At(p, 6, 4), (Rgb{0, 0, 0}));
        EXPECT_EQ(At(p, 803, 483), (Rgb{0, 0, 0}));
    }
    {
        const std::vector<uint8_t> bytes = {0x1F, 0x00, 0x1F}; // a word and the low half of the next
        const TScreenPicture p = DecodeScreenImage(bytes, false);
        EXPECT_EQ(At(p, 4, 4), (Rgb{248, 0, 0}));
        EXPECT_EQ(At(p, 4, 5), (Rgb{248, 0, 0}));
        EXPECT_EQ(At(p, 4, 6), (Rgb{0, 0, 0}));
    }
    const TScreenPicture empty = DecodeScreenImage({}, false);
    EXPECT_EQ(At(empty, 4, 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(empty, 2, 2), (Rgb{120, 120, 120}));
    // A version-1 flag over a version-2 sized buffer looks at the first 614,400 bytes only.
    const TScreenPicture v1 = DecodeScreenImage(std::vector<uint8_t>(ScreenImageBytesV2, 0xFF), false);
    EXPECT_EQ(v1.Width, 648);
    EXPECT_EQ(At(v1, 643, 483), (Rgb{248, 248, 248}));
}

TEST(BmpFile, SavedPictureHas24BitsAndDecodesToTheSamePixels) {
    test::TempDir dir;
    for (bool v2 : {false, true}) {
        std::vector<uint8_t> bytes(ScreenImageBytesV2);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<uint8_t>(i * 7 + i / 613);
        const TScreenPicture p = DecodeScreenImage(bytes, v2);
        const QString path = dir.File(v2 ? "v2.bmp" : "v1.bmp");
        ASSERT_EQ(WriteBmp24(p, path), QString());
        const QByteArray file = dir.Read(v2 ? "v2.bmp" : "v1.bmp");
        ASSERT_GE(file.size(), 54);
        EXPECT_EQ(file[28], 24); // bits per pixel
        QImage back;
        ASSERT_TRUE(back.loadFromData(file, "BMP"));
        ASSERT_EQ(back.size(), QSize(v2 ? 808 : 648, 488));
        int wrong = 0;
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x)
                wrong += (back.pixel(x, y) | 0xFF000000u) != p.At(x, y);
        EXPECT_EQ(wrong, 0) << "v2=" << v2;
    }
}

TEST(BmpFile, RowsArePaddedToFourBytes) {
    TScreenPicture p{5, 2, {}};
    for (int i = 0; i < 10; ++i)
        p.Pixels.push_back(PictureRgb(static_cast<uint8_t>(i * 20), static_cast<uint8_t>(i), 200));
    const QByteArray bmp = EncodeBmp24(p);
    EXPECT_EQ(bmp.size(), 54 + 2 * 16); // 15 bytes of pixels, padded to 16
    QImage back;
    ASSERT_TRUE(back.loadFromData(bmp, "BMP"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(back.pixel(i % 5, i / 5) | 0xFF000000u, p.Pixels[static_cast<size_t>(i)]);
}

TEST(BmpFile, ProtectedTargetsAreNotWritten) {
    test::TempDir dir;
    const TScreenPicture p = FillBackground(false);
    dir.Write("kept.bmp", "old");
    test::SetReadOnly(dir.File("kept.bmp"), true);
    EXPECT_NE(WriteBmp24(p, dir.File("kept.bmp")), QString());
    EXPECT_EQ(dir.Read("kept.bmp"), "old");
    EXPECT_NE(WriteBmp24(p, dir.Path()), QString()); // a folder
    test::SetReadOnly(dir.Path(), true);
    EXPECT_NE(WriteBmp24(p, dir.File("new.bmp")), QString());
    EXPECT_FALSE(QFile::exists(dir.File("new.bmp")));
    test::SetReadOnly(dir.Path(), false);
    test::SetReadOnly(dir.File("kept.bmp"), false);
}

} // namespace
} // namespace lum1
