#pragma once
// The About window's version line: the build date split as the compiler writes it, and put
// together in the order of the interface language.

#include <QString>

#include <functional>
#include <optional>

namespace lum1 {

struct TBuildDateParts {
    QString Month; // "Jan".."Dec", the key of the month's text
    QString Day;   // without the blank that stands for a leading zero
    QString Year;
};

// Splits "Mmm dd yyyy" into at most 3, 2 and 4 characters; nothing when three parts are not
// found.
std::optional<TBuildDateParts> SplitBuildDate(const QString& buildDate);

// ", May 5, 2020" in English, " от 5 мая 2020 г." in Russian; monthText is the language file's.
QString DateText(bool english, const QString& monthText, const TBuildDateParts& date);

// "Version 2.0.5.329, May 25, 2020": the label text, the version, the date text. lookup is the
// language file (the Version key and the month keys).
QString VersionLine(bool english, const QString& fileVersion, const TBuildDateParts& date,
                    const std::function<QString(const QString&)>& lookup);

} // namespace lum1
