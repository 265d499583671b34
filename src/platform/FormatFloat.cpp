#include "platform/FormatFloat.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>

namespace lum1 {
namespace {

struct Pattern {
    int minInt = 0;  // '0' digits before the point
    int minFrac = 0; // '0' digits after the point
    int maxFrac = 0; // all digit places after the point
};

Pattern ParsePattern(QStringView pattern) {
    Pattern p;
    bool afterPoint = false;
    for (QChar c : pattern) {
        if (c == u'.') {
            afterPoint = true;
        } else if (c == u'0') {
            ++(afterPoint ? p.minFrac : p.minInt);
            if (afterPoint)
                ++p.maxFrac;
        } else if (c == u'#' && afterPoint) {
            ++p.maxFrac;
        }
    }
    return p;
}

// Every finite double is m * 2^e with a 53-bit m, so it has at most max(0, 53 - exp) decimal
// places; printing that many places is the exact decimal expansion, with no rounding of its own.
int ExactPlaces(double magnitude) {
    if (magnitude == 0.0)
        return 0;
    int exp = 0;
    std::frexp(magnitude, &exp);
    return std::min(std::max(0, 53 - exp), 1074);
}

} // namespace

QString FormatFloat(double value, QStringView pattern, QChar decimalSeparator) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    const Pattern p = ParsePattern(pattern);
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);

    // 309 integer digits at most, or "0." and 1074 places at most: never both.
    std::array<char, 1100> buf;
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, std::chars_format::fixed,
                             ExactPlaces(magnitude));
    if (res.ec != std::errc())
        return QStringLiteral("NAN");
    const std::string_view exact(buf.data(), static_cast<size_t>(res.ptr - buf.data()));
    const size_t point = exact.find('.');
    const std::string_view intPart = exact.substr(0, point);
    const std::string_view fracPart =
        point == std::string_view::npos ? std::string_view() : exact.substr(point + 1);

    // Digits kept: the integer part and maxFrac places; the next digit decides the rounding.
    // The expansion is exact, so a next digit of 5 or more means at least half: round up.
    std::string digits(intPart);
    for (int i = 0; i < p.maxFrac; ++i)
        digits += static_cast<size_t>(i) < fracPart.size() ? fracPart[static_cast<size_t>(i)] : '0';
    if (static_cast<size_t>(p.maxFrac) < fracPart.size() && fracPart[static_cast<size_t>(p.maxFrac)] >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
            digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0)
            ++digits[static_cast<size_t>(i)];
        else
            digits.insert(digits.begin(), '1');
    }

    std::string whole = digits.substr(0, digits.size() - static_cast<size_t>(p.maxFrac));
    std::string frac = digits.substr(digits.size() - static_cast<size_t>(p.maxFrac));
    const bool zero =
        whole.find_first_not_of('0') == std::string::npos && frac.find_first_not_of('0') == std::string::npos;

    const size_t firstSignificant = whole.find_first_not_of('0');
    whole = firstSignificant == std::string::npos ? std::string() : whole.substr(firstSignificant);
    if (static_cast<int>(whole.size()) < p.minInt)
        whole.insert(0, static_cast<size_t>(p.minInt) - whole.size(), '0');
    while (static_cast<int>(frac.size()) > p.minFrac && frac.back() == '0')
        frac.pop_back();

    QString out;
    out.reserve(static_cast<qsizetype>(whole.size() + frac.size() + 2));
    if (negative && !zero)
        out += u'-';
    out += QLatin1StringView(whole.data(), static_cast<qsizetype>(whole.size()));
    if (!frac.empty()) {
        out += decimalSeparator;
        out += QLatin1StringView(frac.data(), static_cast<qsizetype>(frac.size()));
    }
    return out;
}

QChar SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

QString FormatFloat(double value, QStringView pattern) {
    return FormatFloat(value, pattern, SystemDecimalSeparator());
}

} // namespace lum1
