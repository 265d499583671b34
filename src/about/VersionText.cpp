#include "about/VersionText.h"

#include <cstdio>

namespace lum1 {

std::optional<TBuildDateParts> SplitBuildDate(const QString& buildDate) {
    // The compiler's date is plain ASCII; sscanf's field widths give the documented split,
    // blanks before each part skipped.
    const QByteArray text = buildDate.toLatin1();
    char month[4] = {}, day[3] = {}, year[5] = {};
    if (std::sscanf(text.constData(), "%3s %2s %4s", month, day, year) != 3)
        return std::nullopt;
    return TBuildDateParts{QString::fromLatin1(month), QString::fromLatin1(day), QString::fromLatin1(year)};
}

QString DateText(bool english, const QString& monthText, const TBuildDateParts& date) {
    if (english)
        return QStringLiteral(", ") + monthText + u' ' + date.Day + QStringLiteral(", ") + date.Year;
    return QStringLiteral(" от ") + date.Day + u' ' + monthText + u' ' + date.Year + QStringLiteral(" г.");
}

QString VersionLine(bool english, const QString& fileVersion, const TBuildDateParts& date,
                    const std::function<QString(const QString&)>& lookup) {
    return lookup(QStringLiteral("Version")) + u' ' + fileVersion +
           DateText(english, lookup(date.Month), date);
}

} // namespace lum1
