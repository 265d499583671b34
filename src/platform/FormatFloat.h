#pragma once
// The number patterns the program prints with ("#0", "#0.00", "#.0", "00", "0", ...):
// "0" is a digit always shown, "#" a digit shown only where significant, "." the place of
// the decimal separator. The value is rounded half away from zero on its exact binary value.
//
// Texts for values that are not numbers: NaN gives "NAN", infinities "INF" and "-INF".
// A negative value that rounds to zero is printed without its sign ("#.0" gives ".0" for
// -0.04), so no "-0" or "-.0" ever appears.

#include <QChar>
#include <QString>
#include <QStringView>

namespace lum1 {

QString FormatFloat(double value, QStringView pattern, QChar decimalSeparator);

// With the decimal separator of the user's locale (LC_NUMERIC / LANG), whatever the
// program's interface language is.
QString FormatFloat(double value, QStringView pattern);

// The user's locale decimal separator; fetch it once where many numbers are printed.
QChar SystemDecimalSeparator();

} // namespace lum1
