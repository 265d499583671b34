#pragma once
// What the archive derives from a record's 90 bytes: the key that finds it, and the values its
// queries filter and sort by. The 90 bytes themselves are the record's identity and are kept
// unchanged; everything here is recomputed from them.

#include "results/MeasRecord.h"

#include <QDate>
#include <QString>

#include <cstdint>

namespace lum1 {

// The first 8 bytes of the SHA-256 of the 90 bytes, as a signed number. Two different records
// with the same key are both kept: the second takes the next free key.
qint64 RecordKey(const TMeasRecord& record);

// The measurement time as one sortable number: the raw bytes year, month, day, hours, minutes,
// seconds from the most significant down. Any bytes make a key, so records whose time is no
// calendar date (month 13, the deleted mark 170 in the seconds) still sort and filter.
qint64 MeasuredKey(const TMeasRecord& record);
// The first and last key of a calendar day (from 00:00:00 to the largest bytes of that day).
qint64 FirstKeyOfDay(const QDate& day);
qint64 LastKeyOfDay(const QDate& day);

// The object and material texts, as the table shows them.
QString ObjectText(const TMeasRecord& record);
QString MaterialText(const TMeasRecord& record);

} // namespace lum1
