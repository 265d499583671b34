#include "device/ExchangeWindow.h"

namespace lum1 {

QString StatusText(const TStatusMessage& message, const std::function<QString(const QString&)>& lookup) {
    if (message.Key.isEmpty())
        return message.Text;
    const QString text = lookup ? lookup(message.Key) : message.Key;
    if (message.Key == u"USBNoRecords")
        return message.ParamText + "; " + text;
    if (message.Key == u"USBDataReaded")
        return message.ParamText + "; " + text + " (" + QString::number(message.RecordCount) + ")";
    return text;
}

} // namespace lum1
