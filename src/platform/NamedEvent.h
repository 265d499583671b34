#pragma once
// Named auto-reset events. A name is claimed for the life of the process through a lock that
// the system frees when the process ends, so a crashed copy never keeps a name; several copies
// of the program each take the first free suffix. Signalling and waiting work within the
// process (the window thread and the exchange thread).

#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace lum1 {

class TNamedEvent {
public:
    TNamedEvent(QString name, bool initialState, int lockFd);
    ~TNamedEvent();
    TNamedEvent(const TNamedEvent&) = delete;
    TNamedEvent& operator=(const TNamedEvent&) = delete;

    const QString& Name() const { return name_; }
    // True when this object holds the name's claim; false for the fallback event that
    // CreateNamedEvent returns when every suffix is taken.
    bool OwnsName() const { return lockFd_ >= 0; }

    void SetEvent();
    // Waits up to timeoutMs (0: just test) and consumes the signal; true when it was signalled.
    bool WaitFor(int timeoutMs);

private:
    QString name_;
    int lockFd_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_;
};

// Where the name claims live: one lock file per full event name.
class TEventNamespace {
public:
    static constexpr int MaxSuffixes = 100;

    // folder empty: the user's runtime folder (XDG_RUNTIME_DIR, else the temporary folder).
    explicit TEventNamespace(QString folder = {});
    const QString& Folder() const { return folder_; }

    // Tries base + "0", base + "1", … base + "99" and returns the first event whose name was
    // free. With all 100 taken, the result is an event of the last name that claims nothing.
    std::shared_ptr<TNamedEvent> CreateNamedEvent(const QString& baseName, bool initialState) const;

private:
    QString folder_;
};

} // namespace lum1
