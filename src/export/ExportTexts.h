#pragma once
// What the Excel and map exports need of the language: the documented column titles, the new
// features' own texts and the record texts' context (month names, marks, decimal separator).

#include "results/RecordTexts.h"

#include <QString>

#include <functional>

namespace lum1 {

using TextLookup = std::function<QString(const QString&)>;

struct TExportTexts {
    TextLookup Documented; // the documented message table's keys
    TextLookup Extra;      // the new features' keys
    TRecordTextContext Record;

    QString Doc(const char* key) const {
        return Documented ? Documented(QString::fromLatin1(key)) : QString();
    }
    QString New(const char* key) const { return Extra ? Extra(QString::fromLatin1(key)) : QString(); }
};

} // namespace lum1

#include "results/MeasRecord.h"

#include <QDateTime>

#include <optional>

namespace lum1 {

// The measurement time as a real date and time; nothing for a deleted record (its seconds byte
// is the mark 170) or for fields that make no calendar date (a year byte of 100 or more, month
// 13, 31 February, hour 24).
std::optional<QDateTime> RecordDateTime(const TMeasRecord& r);

} // namespace lum1
