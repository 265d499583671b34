#pragma once
// Realistic result rows for the report's benchmark and its sample pictures: Cyrillic object and
// material names, positions, some deleted records, as the results table shows them.

#include "lang/MessageTable.h"
#include "platform/Cp1251.h"
#include "report/MeasurementReport.h"
#include "results/RecordTexts.h"

#include <cstring>
#include <vector>

namespace lum1::sample {

inline LangLookup Lookup(bool english) {
    return [english](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? (english ? row->english : row->russian).trimmed().toString() : QString();
    };
}

inline void SetText(uint8_t (&field)[22], const QString& text) {
    const QByteArray b = EncodeCp1251(text);
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<uint8_t>(std::min<qsizetype>(b.size(), 21));
    std::memcpy(field + 1, b.constData(), field[0]);
}

inline std::vector<TRowTexts> Rows(int count, bool english) {
    const TRecordTextContext ctx = TRecordTextContext::Fetch(Lookup(english), english, u'.');
    static const char16_t* const objects[] = {u"Трасса М-4, км 112", u"Обход г. Тверь", u"Мост через р. Ока",
                                              u"ул. Ленина", u"Подъезд к аэропорту Шереметьево"};
    static const char16_t* const materials[] = {u"А16Вн ЩМА", u"ЩМА-20", u"Б-II пористый"};
    std::vector<TRowTexts> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TMeasRecord r{};
        r.Number = static_cast<uint16_t>(i + 1);
        r.Hours = static_cast<uint8_t>(8 + i % 10);
        r.Minutes = static_cast<uint8_t>(i * 7 % 60);
        r.Seconds = i % 41 == 17 ? DeletedMark : static_cast<uint8_t>(i * 13 % 60);
        r.Day = static_cast<uint8_t>(1 + i / 30 % 28);
        r.Month = static_cast<uint8_t>(6 + i / 900 % 6);
        r.Year = 24;
        SetText(r.ObjectName, QString::fromUtf16(objects[i / 7 % 5]));
        SetText(r.MaterialName, QString::fromUtf16(materials[i / 11 % 3]));
        r.Density = 2310.0f + static_cast<float>(i * 37 % 100) * 0.73f;
        r.RefDensity = i % 5 == 4 ? 0.0f : 2400.0f;
        r.Latitude = (5509 << 16) | (i * 37 % 65536);
        r.Longitude = (3730 << 16) | (i * 91 % 65536);
        r.Temperature = 140.25f - static_cast<float>(i % 90);
        r.Thickness = static_cast<uint16_t>(40 + i % 3 * 10);
        r.AverNum = 3;
        rows.push_back(RowTexts(r, ctx));
    }
    return rows;
}

// The grid over the rows at the widths the program gives its columns in a 1024-pixel window,
// nothing selected.
inline TReportGrid Grid(const std::vector<TRowTexts>& rows) {
    TReportGrid grid;
    grid.RowCount = static_cast<int>(rows.size()) + 2;
    grid.Cell = [&rows](int column, int gridRow) {
        return rows[static_cast<size_t>(gridRow - 2)][static_cast<size_t>(column)];
    };
    grid.ColWidths = {45, 125, 64, 79, 75, 75, 83, 168, 105, 54, 70};
    return grid;
}

} // namespace lum1::sample
