#include "platform/Cp1251.h"

#include "QtPrinters.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(Cp1251, DecodesCyrillicAndSymbols) {
    EXPECT_EQ(DecodeCp1251(QByteArray("\xC0\xF1\xF4\xE0\xEB\xFC\xF2 M-4")), QString::fromUtf8("Асфальт M-4"));
    EXPECT_EQ(DecodeCp1251(QByteArray("\xA8\xB8\xB9\x88\x98\x96")), QString::fromUtf8("Ёё№€\u0098–"));
    EXPECT_EQ(DecodeCp1251(QByteArray("\xC0\xDF\xE0\xFF")), QString::fromUtf8("АЯая"));
}

// Checked against Qt's own converter where the Qt build carries one (ICU builds do).
TEST(Cp1251, HighHalfMatchesTheSystemConverter) {
    QStringDecoder system("windows-1251");
    if (!system.isValid())
        GTEST_SKIP() << "no windows-1251 converter in this Qt build";
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x98)
            continue; // undefined in the code page; converters differ
        const QByteArray byte(1, static_cast<char>(b));
        EXPECT_EQ(DecodeCp1251(byte), QString(system.decode(byte))) << std::hex << b;
    }
}

TEST(Cp1251, EncodeIsTheInverseAndMarksWhatItCannotHold) {
    QByteArray all;
    for (int b = 1; b <= 0xFF; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(EncodeCp1251(DecodeCp1251(all)), all);
    EXPECT_EQ(EncodeCp1251(u"a\u4E2Dб"), QByteArray("a?\xE1"));
}

} // namespace
} // namespace lum1
