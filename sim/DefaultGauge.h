#pragma once
// The default simulated gauge: a plausible archive and a picture of the gauge's display.

#include <cstdint>
#include <string>
#include <vector>

namespace lum1::sim {

// Windows-1251 bytes of a UTF-8 text (ASCII and the Russian alphabet).
std::string ToCp1251(const std::string& utf8);

// One 90-byte record; texts are Windows-1251 bytes.
struct TRecordFields {
    uint16_t Number = 1;
    uint8_t Seconds = 0, Minutes = 0, Hours = 12, Day = 1, Month = 6, Year = 25;
    std::string ObjectName, MaterialName;
    float Density = 2380.f, RefDensity = 2430.f, Temperature = 120.f;
    int32_t Latitude = 0, Longitude = 0;
    uint8_t Thickness = 50, AverNum = 3, Mode = 0;
};
std::vector<uint8_t> MakeRecord(const TRecordFields& fields);

// count records measured along a road over a few days; record 7 is deleted (Seconds 170),
// record 12 is a mode-2 record, names mix Cyrillic and Latin.
std::vector<uint8_t> MakeDefaultRecords(int count);

// The display picture in the gauge's own format: version 1 640x480 15-bit words column by
// column, version 2 800x480 BGR row by row.
std::vector<uint8_t> MakeScreenPicture(int version);

} // namespace lum1::sim
