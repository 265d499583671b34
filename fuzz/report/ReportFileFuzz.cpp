// Any body framed as a saved report of the current version: the reader must refuse it or give a
// report that writes back to the very same bytes.
#include "report/PreparedReportFile.h"

#include <QCryptographicHash>

#include <cstdint>
#include <cstdlib>

using namespace lum1;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray file("LUM1PREP\x01\x00\x00\x00", 12);
    file.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.append(QCryptographicHash::hash(file, QCryptographicHash::Sha256));
    const std::optional<TSavedReport> saved = ReadPreparedReport(file);
    if (saved && WritePreparedReport(saved->Pages, saved->Properties) != file) {
        // Texts are the one thing that may change: invalid UTF-8 is read as replacement
        // characters. A report read from its own writing must come back unchanged.
        const QByteArray again = WritePreparedReport(saved->Pages, saved->Properties);
        const std::optional<TSavedReport> reread = ReadPreparedReport(again);
        if (!reread || !(reread->Pages == saved->Pages) || !(reread->Properties == saved->Properties))
            std::abort();
    }
    return 0;
}
