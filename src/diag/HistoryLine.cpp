#include "diag/HistoryLine.h"

namespace lum1 {

QString HistoryLine(const QTime& time, const QString& message) {
    QString stamp = time.toString(QStringLiteral("hh:mm:ss,zzz"));
    stamp.chop(2);
    return stamp + QStringLiteral(": ") + message;
}

} // namespace lum1
