#pragma once
// Windows-1251, the code page of every 8-bit text the gauge and the program exchange.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace lum1 {

// Bytes below 0x80 are ASCII; 0x80-0xFF come from a 128-entry table. The one byte the code
// page leaves undefined (0x98) decodes to U+0098, as the Windows conversion does.
QString DecodeCp1251(const uint8_t* bytes, std::size_t count);
QString DecodeCp1251(const QByteArray& bytes);

// The inverse; characters the code page cannot hold become '?'.
QByteArray EncodeCp1251(QStringView text);

} // namespace lum1
