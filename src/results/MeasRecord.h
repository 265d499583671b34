#pragma once
// The gauge's 90-byte measurement record and the program's record store.

#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lum1 {

// Byte-exact image of one archive record: little-endian numbers, IEEE single floats,
// Windows-1251 short texts (length byte + up to 21 characters).
#pragma pack(push, 1)
struct TMeasRecord {
    uint16_t Number;
    uint8_t Seconds; // 170 marks a record deleted on the gauge
    uint8_t Minutes;
    uint8_t Hours;
    uint8_t Day;
    uint8_t Month;
    uint8_t Year;
    uint8_t ObjectName[22];
    uint8_t MaterialName[22];
    float Density;
    float RefDensity;
    int32_t Latitude;
    int32_t Longitude;
    float Temperature;
    uint8_t Reserved1[12];
    uint8_t Reserved2;
    uint8_t Thickness;
    uint8_t AverNum;
    uint8_t Mode;
    uint8_t Reserved3[2];
};
#pragma pack(pop)

static_assert(sizeof(TMeasRecord) == 90);
static_assert(offsetof(TMeasRecord, Seconds) == 2);
static_assert(offsetof(TMeasRecord, Year) == 7);
static_assert(offsetof(TMeasRecord, ObjectName) == 8);
static_assert(offsetof(TMeasRecord, MaterialName) == 30);
static_assert(offsetof(TMeasRecord, Density) == 52);
static_assert(offsetof(TMeasRecord, RefDensity) == 56);
static_assert(offsetof(TMeasRecord, Latitude) == 60);
static_assert(offsetof(TMeasRecord, Longitude) == 64);
static_assert(offsetof(TMeasRecord, Temperature) == 68);
static_assert(offsetof(TMeasRecord, Reserved1) == 72);
static_assert(offsetof(TMeasRecord, Reserved2) == 84);
static_assert(offsetof(TMeasRecord, Thickness) == 85);
static_assert(offsetof(TMeasRecord, AverNum) == 86);
static_assert(offsetof(TMeasRecord, Mode) == 87);
static_assert(offsetof(TMeasRecord, Reserved3) == 88);

// The record layout is little-endian on the wire and on disk; the program is built for
// little-endian machines only.
static_assert(std::endian::native == std::endian::little);

constexpr int RecordSize = 90;
constexpr int MaxRecords = 2500;
constexpr uint8_t DeletedMark = 170;

inline TMeasRecord RecordFromBytes(const uint8_t* bytes) {
    TMeasRecord r;
    std::memcpy(&r, bytes, RecordSize);
    return r;
}

// The program-wide record store. Replaced as a whole (RecordCount = 0, then records from
// index 0 on); Records[0 .. RecordCount-1] are valid and contiguous, so their bytes are
// exactly a results file.
struct TRecordStore {
    std::array<TMeasRecord, MaxRecords> Records{};
    std::atomic<int> RecordCount{0};
    std::array<int, MaxRecords> DisplayOrder{};
};

} // namespace lum1
