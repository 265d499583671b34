#pragma once
// A full archive (2500 records) as the gauge keeps it: some deleted, some without a reference
// density, some mode-2 readings, positions north-west, Cyrillic names.

#include "platform/Cp1251.h"
#include "results/MeasRecord.h"

#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

namespace lum1::bench {

inline std::unique_ptr<TRecordStore> FullArchive() {
    auto store = std::make_unique<TRecordStore>();
    const QByteArray object = EncodeCp1251(QStringLiteral("Трасса М-4, км 112"));
    const QByteArray material = EncodeCp1251(QStringLiteral("А16Вн ЩМА"));
    for (int i = 0; i < MaxRecords; ++i) {
        TMeasRecord& r = store->Records[static_cast<size_t>(i)];
        r = TMeasRecord{};
        r.Number = static_cast<uint16_t>(i + 1);
        r.Hours = static_cast<uint8_t>(i % 24);
        r.Minutes = static_cast<uint8_t>(i % 60);
        r.Seconds = i % 97 == 0 ? DeletedMark : static_cast<uint8_t>(i % 60);
        r.Day = static_cast<uint8_t>(1 + i % 28);
        r.Month = static_cast<uint8_t>(1 + i % 12);
        r.Year = 24;
        r.ObjectName[0] = static_cast<uint8_t>(object.size());
        std::memcpy(r.ObjectName + 1, object.constData(), static_cast<size_t>(object.size()));
        r.MaterialName[0] = static_cast<uint8_t>(material.size());
        std::memcpy(r.MaterialName + 1, material.constData(), static_cast<size_t>(material.size()));
        r.Density = 2300.0f + static_cast<float>(i % 100) * 0.73f;
        r.RefDensity = i % 5 == 0 ? 0.0f : 2400.0f;
        r.Mode = i % 50 == 0 ? 2 : 0;
        r.Latitude = (5509 << 16) | (i * 37 % 65536);
        r.Longitude = -((3730 << 16) | (i * 91 % 65536));
        r.Temperature = 120.25f - static_cast<float>(i % 90);
        r.Thickness = static_cast<uint8_t>(40 + i % 3 * 10);
        r.AverNum = 3;
    }
    store->RecordCount = MaxRecords;
    return store;
}

inline std::vector<int> AllRecords() {
    std::vector<int> all(MaxRecords);
    std::iota(all.begin(), all.end(), 0);
    return all;
}

} // namespace lum1::bench
