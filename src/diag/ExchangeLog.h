#pragma once
// The optional USB exchange log: sections headed by the date, one time-stamped line per USB
// step. Calls come from the exchange thread and, at shut-down, from the window thread; they are
// carried out one at a time. The file is opened, appended in one write and closed for every
// header and line, so each line is on disk when the call returns.

#include <QDateTime>
#include <QString>

#include <functional>
#include <mutex>
#include <string_view>

namespace lum1 {

class TExchangeLog {
public:
    using Clock = std::function<QDateTime()>;
    // The [Debug] LogUSB switch, read at each LogBegin.
    using SwitchReader = std::function<bool()>;

    TExchangeLog(QString logFilePath, SwitchReader readSwitch, Clock clock = {});

    void LogBegin();
    // message: UTF-8 text (the 8-bit code page of a Linux system).
    void LogUSBWrite(std::string_view message);

    bool LogEnabled() const;
    const QString& LogFilePath() const { return path_; }
    // Once the settings are released at shut-down the switch keeps its last value.
    void DetachSwitch();
    void SetClock(Clock clock);

    // Line breaks at either end removed, the remaining CR and LF each turned into a blank.
    static std::string Flatten(std::string_view message);

private:
    void BeginLocked(const QDateTime& now);

    QString path_;
    SwitchReader readSwitch_;
    Clock clock_;
    mutable std::mutex mutex_;
    bool enabled_ = false;
    bool firstCallDone_ = false;
    qint64 logDay_ = 0;
};

} // namespace lum1
