#pragma once
// The window thread's archive: opened on first use with the settings of that moment, opened
// anew when the settings change or the connection was lost, and the automatic archiving of
// every successful read. Without widgets: the window shows what it returns.

#include "archive/Archive.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveSettings.h"
#include "results/MeasRecord.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <span>

namespace lum1 {

class TArchiveSession {
public:
    struct Environment {
        std::function<TArchiveSettings()> Settings; // read anew at every use
        QString ArchiveFolder;                      // archive.sqlite when the settings name no file
        ExtraTextLookup Extra;                      // texts in the interface language
    };

    explicit TArchiveSession(Environment environment);
    ~TArchiveSession();

    // The archive of the current settings, open; nullptr with the reason in *error.
    TArchive* Archive(TArchiveError* error = nullptr);

    struct TNotice {
        QStringList History; // lines for the message history; none: nothing happened
        // A message for a box; empty when there is nothing to say or the same message was
        // already shown in this run (the history still gets every line).
        QString Box;
    };

    // After a successful read: the records and the gauge's parameter text. Nothing happens when
    // automatic archiving is off or no record was read. Never throws; a failure is a notice.
    TNotice ArchiveRead(std::span<const TMeasRecord> records, const QString& paramText);

private:
    // The message of an error for the history, and for a box unless the last box said the same.
    void Tell(const TArchiveError& error, TNotice& notice);

    Environment env_;
    std::unique_ptr<TArchive> archive_;
    QString lastBox_;
};

} // namespace lum1
