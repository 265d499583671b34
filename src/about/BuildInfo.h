#pragma once
// The program's own version and build date, fixed when the program is built.

#include <QString>

namespace lum1 {

// Four numbers, "1.2.0.0".
QString FileVersion();
// The compiler's form: three-letter English month, the day with a blank in place of a leading
// zero, the year: "May  5 2020". Taken from SOURCE_DATE_EPOCH when the build sets it.
QString BuildDate();

} // namespace lum1
