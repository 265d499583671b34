#pragma once
// Small builders shared by the tests: records with readable defaults and a language
// lookup over the built-in message table.

#include "lang/MessageTable.h"
#include "platform/Cp1251.h"
#include "results/MeasRecord.h"
#include "results/RecordTexts.h"

#include <QByteArray>
#include <QString>

#include <cstring>

namespace lum1::test {

// The texts as the program's lookup returns them: the language files give values back without
// their leading and trailing blanks (" - deleted" comes back as "- deleted").
inline LangLookup TableLookup(bool english) {
    return [english](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? (english ? row->english : row->russian).trimmed().toString() : QString();
    };
}

inline TRecordTextContext Context(bool english, QChar separator = u'.') {
    return TRecordTextContext::Fetch(TableLookup(english), english, separator);
}

inline void SetShortText(uint8_t (&field)[22], const QString& text) {
    const QByteArray bytes = EncodeCp1251(text);
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<uint8_t>(bytes.size());
    std::memcpy(field + 1, bytes.constData(), static_cast<size_t>(std::min<qsizetype>(bytes.size(), 21)));
}

// 14:05:09 on 5 May 2019, 2352 of 2400 kg/m3 at 23.5 degrees, no position.
inline TMeasRecord SampleRecord(uint16_t number = 1) {
    TMeasRecord r{};
    r.Number = number;
    r.Hours = 14;
    r.Minutes = 5;
    r.Seconds = 9;
    r.Day = 5;
    r.Month = 5;
    r.Year = 19;
    SetShortText(r.ObjectName, QStringLiteral("Road M4"));
    SetShortText(r.MaterialName, QStringLiteral("Асфальт"));
    r.Density = 2352.0f;
    r.RefDensity = 2400.0f;
    r.Temperature = 23.5f;
    r.Thickness = 40;
    r.AverNum = 3;
    return r;
}

inline QByteArray RecordBytes(const TMeasRecord& r) {
    return QByteArray(reinterpret_cast<const char*>(&r), RecordSize);
}

} // namespace lum1::test
