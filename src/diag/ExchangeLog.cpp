#include "diag/ExchangeLog.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace lum1 {

namespace {
// One write at the end of the file; a file that cannot be opened drops the text silently.
void Append(const QString& path, const std::string& bytes, bool create) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    ::close(fd);
}
} // namespace

TExchangeLog::TExchangeLog(QString logFilePath, SwitchReader readSwitch, Clock clock)
    : path_(std::move(logFilePath)), readSwitch_(std::move(readSwitch)), clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTime(); };
}

void TExchangeLog::SetClock(Clock clock) {
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

void TExchangeLog::DetachSwitch() {
    std::lock_guard lock(mutex_);
    readSwitch_ = nullptr;
}

bool TExchangeLog::LogEnabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void TExchangeLog::LogBegin() {
    std::lock_guard lock(mutex_);
    BeginLocked(clock_());
}

void TExchangeLog::BeginLocked(const QDateTime& now) {
    if (readSwitch_)
        enabled_ = readSwitch_();
    if (!enabled_)
        return;
    const std::string header = "\r\n========== " + now.date().toString("dd.MM.yyyy").toStdString() + " ==========\r\n";
    Append(path_, header, true);
}

std::string TExchangeLog::Flatten(std::string_view message) {
    auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    size_t b = 0, e = message.size();
    while (b < e && isBreak(message[b]))
        ++b;
    while (e > b && isBreak(message[e - 1]))
        --e;
    std::string out(message.substr(b, e - b));
    for (char& c : out)
        if (isBreak(c))
            c = ' ';
    return out;
}

void TExchangeLog::LogUSBWrite(std::string_view message) {
    std::lock_guard lock(mutex_);
    const QDateTime now = clock_();
    const qint64 today = now.date().toJulianDay();
    if (!firstCallDone_) {
        logDay_ = today;
        firstCallDone_ = true;
    }
    if (!enabled_)
        return;
    if (today != logDay_) {
        BeginLocked(now);
        logDay_ = today;
    }
    const std::string line = now.time().toString("hh:mm:ss.zzz").toStdString() + " " + Flatten(message) + "\r\n";
    Append(path_, line, false);
}

} // namespace lum1
