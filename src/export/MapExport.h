#pragma once
// The records on a map: KML 2.2 (Google Earth, QGIS) and GeoJSON. One point per record that
// has a position; deleted records and records without a usable position are left out.

#include "export/ExportTexts.h"
#include "results/MeasRecord.h"

#include <QByteArray>

#include <optional>
#include <span>

namespace lum1 {

// A stored coordinate in decimal degrees with the hemisphere's sign (south and west negative):
// degrees + (minutes + fraction / 65536) / 60. Nothing for 0 (no position), for degrees beyond
// the kind's limit (as the table shows "-") and for minutes of 60 or more, which no real
// position has.
std::optional<double> CoordToDegrees(int32_t value, bool longitude);

struct TPosition {
    double Latitude = 0;
    double Longitude = 0;
};
// Both coordinates usable; a record with only one of them has no position.
std::optional<TPosition> RecordPosition(const TMeasRecord& r);

struct TMapResult {
    QByteArray Bytes;
    int Written = 0; // placemarks / features
    int Skipped = 0; // deleted, or without a usable position
};

TMapResult ExportKml(const TRecordStore& store, std::span<const int> records, const TExportTexts& texts);
TMapResult ExportGeoJson(const TRecordStore& store, std::span<const int> records, const TExportTexts& texts);

} // namespace lum1
