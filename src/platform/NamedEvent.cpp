#include "platform/NamedEvent.h"

#include <QDir>
#include <QStandardPaths>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lum1 {

TNamedEvent::TNamedEvent(QString name, bool initialState, int lockFd)
    : name_(std::move(name)), lockFd_(lockFd), signalled_(initialState) {}

TNamedEvent::~TNamedEvent() {
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void TNamedEvent::SetEvent() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    cv_.notify_one();
}

bool TNamedEvent::WaitFor(int timeoutMs) {
    std::unique_lock lock(mutex_);
    if (!signalled_ && timeoutMs > 0)
        cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; });
    const bool was = signalled_;
    signalled_ = false;
    return was;
}

namespace {

QString DefaultFolder() {
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QDir(base).exists())
        base = QDir::tempPath() + QStringLiteral("/lum1-%1").arg(::getuid());
    return base + QStringLiteral("/lum1-events");
}

// Claims the name: an exclusive lock on its file, held until the descriptor is closed.
int ClaimName(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

TEventNamespace::TEventNamespace(QString folder) : folder_(folder.isEmpty() ? DefaultFolder() : folder) {
    QDir().mkpath(folder_);
}

std::shared_ptr<TNamedEvent> TEventNamespace::CreateNamedEvent(const QString& baseName, bool initialState) const {
    QString name;
    for (int i = 0; i < MaxSuffixes; ++i) {
        name = baseName + QString::number(i);
        int fd = ClaimName(folder_ + u'/' + name);
        if (fd >= 0)
            return std::make_shared<TNamedEvent>(name, initialState, fd);
    }
    return std::make_shared<TNamedEvent>(name, initialState, -1);
}

} // namespace lum1
