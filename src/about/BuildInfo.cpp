#include "about/BuildInfo.h"

#ifndef LUM1_FILE_VERSION
#error "LUM1_FILE_VERSION is set by the build"
#endif

namespace lum1 {

QString FileVersion() {
    return QStringLiteral(LUM1_FILE_VERSION);
}

// GCC takes __DATE__ from SOURCE_DATE_EPOCH when it is set, so a build can be reproduced.
QString BuildDate() {
    return QStringLiteral(__DATE__);
}

} // namespace lum1
