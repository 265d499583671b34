#pragma once
// The texts the user sees of a measurement record, each field by its own rule.

#include "results/MeasRecord.h"

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace lum1 {

using LangLookup = std::function<QString(const QString&)>;

// What a fill of the table needs from the language file and the locale, fetched once per fill
// rather than once per record: 2500 records would otherwise read the language file
// tens of thousands of times.
struct TRecordTextContext {
    bool EnglishUI = true;
    std::array<QString, 12> MonthNames; // Month1 .. Month12
    QString MesDel;
    QString LongSouth, LongNorth; // latitude hemispheres
    QString LatWest, LatEast;     // longitude hemispheres
    QChar DecimalSeparator = u'.';

    static TRecordTextContext Fetch(const LangLookup& lookup, bool englishUI, QChar decimalSeparator);
    // With the user's locale decimal separator.
    static TRecordTextContext Fetch(const LangLookup& lookup, bool englishUI);
};

struct TDensityTexts {
    QString Density;
    QString Compaction; // empty for mode 2 and without a reference density
    QString Porosity;   // likewise
};

constexpr int ResultColumns = 11;
using TRowTexts = std::array<QString, ResultColumns>;

QString NumberText(const TMeasRecord& r);
QString DateTimeText(const TMeasRecord& r, const TRecordTextContext& ctx);
TDensityTexts DensityTexts(const TMeasRecord& r, const TRecordTextContext& ctx);
QString TemperatureText(const TMeasRecord& r, const TRecordTextContext& ctx);
// A short text field: signed length byte, 1..size-1 characters, ends early at a zero byte.
QString FieldToText(const uint8_t* field, int size);
// longitude: false for a latitude, true for a longitude.
QString CoordToText(int32_t value, bool longitude, const TRecordTextContext& ctx);
QString CoordinatesText(const TMeasRecord& r, const TRecordTextContext& ctx);
QString ThicknessText(const TMeasRecord& r);
QString AverNumText(const TMeasRecord& r);

// The eleven cells of a record's table row, in column order.
TRowTexts RowTexts(const TMeasRecord& r, const TRecordTextContext& ctx);

} // namespace lum1
