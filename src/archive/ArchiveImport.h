#pragma once
// Arrivals: what a read of the gauge or a results file brings into the archive. Each arrival is
// one transaction (all of its records or none) and is kept with its counts: how many records it
// brought, how many of them were new and how many the archive already held.

#include "archive/Archive.h"
#include "results/MeasRecord.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace lum1 {

enum class TArrivalKind { Download = 1, File = 2 };

struct TDownloadInfo {
    QDateTime Time = QDateTime::currentDateTimeUtc();
    QString ParamText;                // the gauge's parameter text
    QString User = CurrentUserName(); // the computer's user

    static QString CurrentUserName();
};

struct TArrivalResult {
    TArchiveError Error; // set: nothing of the arrival was written
    qint64 ArrivalId = 0;
    int Records = 0; // what arrived; a record that came twice in one arrival counts twice
    int New = 0;     // kept for the first time
    int Known = 0;   // Records - New: already kept (or earlier in the same arrival)
    bool Ok() const { return !Error; }
};

// A read of the gauge.
TArrivalResult ArchiveDownload(TArchive& archive, std::span<const TMeasRecord> records,
                               const TDownloadInfo& info);
// The records of a results file, read by the caller; fileName is kept as given.
TArrivalResult ArchiveRecordsOfFile(TArchive& archive, std::span<const TMeasRecord> records,
                                    const QString& fileName,
                                    const QDateTime& time = QDateTime::currentDateTimeUtc());

// A results file read by the archive: every whole 90-byte record it holds (no limit of the
// table). CantRead: the file could not be opened or read; nothing was archived.
struct TFileArrival {
    QString File;
    bool CantRead = false;
    TArrivalResult Result;
};
TFileArrival ArchiveResultsFile(TArchive& archive, const QString& path);

// The results files named: files as they are, folders searched (with their subfolders) for
// files ending in ".lum1" in any letter case, in name order.
QStringList CollectResultsFiles(const QStringList& filesAndFolders);

struct TImportSummary {
    std::vector<TFileArrival> Files; // in the order imported
    int Records = 0, New = 0, Known = 0;
    int Unreadable = 0;     // files that could not be read
    TArchiveError Error;    // the archive failed: the import stopped there
    bool Cancelled = false; // progress returned false
};

// Told before the first file (last: nullptr) and after each file (last: what became of it);
// returning false stops the import. Every file is an arrival of its own, so an import stopped
// in the middle keeps the files done.
using TImportProgress = std::function<bool(int done, int total, const TFileArrival* last)>;
TImportSummary ArchiveFiles(TArchive& archive, const QStringList& files,
                            const TImportProgress& progress = {});

// The arrivals, newest first.
struct TArrival {
    qint64 Id = 0;
    TArrivalKind Kind = TArrivalKind::Download;
    QDateTime Time; // UTC
    QString ParamText, User, FileName;
    int Records = 0, New = 0, Known = 0;
};
std::vector<TArrival> Arrivals(TArchive& archive);

} // namespace lum1
