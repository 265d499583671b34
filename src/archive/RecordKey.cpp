#include "archive/RecordKey.h"

#include "results/RecordTexts.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace lum1 {

qint64 RecordKey(const TMeasRecord& record) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(&record), RecordSize), QCryptographicHash::Sha256);
    return qFromLittleEndian<qint64>(digest.constData());
}

namespace {

qint64 Pack(quint64 year, quint64 month, quint64 day, quint64 hours, quint64 minutes, quint64 seconds) {
    return static_cast<qint64>((year << 40) | (month << 32) | (day << 24) | (hours << 16) | (minutes << 8) |
                               seconds);
}

// The year byte counts from 2000; days outside 2000..2255 clamp to the ends.
quint64 YearByte(const QDate& day) {
    return static_cast<quint64>(std::clamp(day.year() - 2000, 0, 255));
}

} // namespace

qint64 MeasuredKey(const TMeasRecord& r) {
    return Pack(r.Year, r.Month, r.Day, r.Hours, r.Minutes, r.Seconds);
}

qint64 FirstKeyOfDay(const QDate& day) {
    if (day.year() < 2000)
        return 0;
    if (day.year() > 2255)
        return Pack(255, 255, 255, 255, 255, 255) + 1;
    return Pack(YearByte(day), static_cast<quint64>(day.month()), static_cast<quint64>(day.day()), 0, 0, 0);
}

qint64 LastKeyOfDay(const QDate& day) {
    if (day.year() < 2000)
        return -1;
    if (day.year() > 2255)
        return Pack(255, 255, 255, 255, 255, 255);
    return Pack(YearByte(day), static_cast<quint64>(day.month()), static_cast<quint64>(day.day()), 255, 255,
                255);
}

QString ObjectText(const TMeasRecord& record) {
    return FieldToText(record.ObjectName, sizeof record.ObjectName);
}

QString MaterialText(const TMeasRecord& record) {
    return FieldToText(record.MaterialName, sizeof record.MaterialName);
}

} // namespace lum1
