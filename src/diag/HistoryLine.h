#pragma once
#include <QString>
#include <QTime>

namespace lum1 {

// A line of the message history: the time to the tenth of a second ("hh:mm:ss,z"), ": ",
// the message. The tenth is cut, not rounded: 09:05:07.099 gives 09:05:07,0.
QString HistoryLine(const QTime& time, const QString& message);

} // namespace lum1
