#pragma once
// Texts for XML and HTML files. The gauge's texts are raw bytes and may hold any control
// character; XML 1.0 forbids most of them (a reader refuses the whole file) and HTML reads them
// as errors. They are dropped, as the CSV export drops them.

#include <QString>

namespace lum1 {

// The text without control characters (U+0000..U+001F, U+007F..U+009F), U+FFFE, U+FFFF and
// surrogates without their partner.
QString XmlSafeText(const QString& text);

} // namespace lum1
