#pragma once
// An import of results files into the archive on a thread of its own, with its own connection,
// so that the window stays usable (a read of the gauge included) while many files go in. The
// window thread starts it, asks how far it is and may stop it; nothing of Qt crosses the
// threads: the state is atomics of our own. Without widgets.

#include "archive/Archive.h"
#include "archive/ArchiveImport.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

namespace lum1 {

class TArchiveImportJob {
public:
    // filesAndFolders: as chosen (folders are searched for .lum1 files on the job's thread).
    TArchiveImportJob(TArchiveConnection connection, QStringList filesAndFolders);
    // Stops the job between two files and waits for it.
    ~TArchiveImportJob();
    TArchiveImportJob(const TArchiveImportJob&) = delete;
    TArchiveImportJob& operator=(const TArchiveImportJob&) = delete;

    void Start();
    // The file under way finishes (or rolls back) and no further file is begun.
    void Cancel() { cancel_ = true; }
    bool Cancelled() const { return cancel_; }
    // Waits for the job's end (after Cancel: the end of the file under way).
    void Wait();

    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    int Done() const { return done_; }
    int Total() const { return total_; }
    // The file under way (empty before the files are found and after the last).
    QString CurrentFile() const;

    // Once Finished(): what the archive could not do when it was opened (a damaged file set
    // aside is told here and the import still ran into the new archive), the files found and
    // what became of each.
    const TArchiveError& OpenError() const { return openError_; }
    const QStringList& Files() const { return files_; }
    const TImportSummary& Summary() const { return summary_; }

private:
    void Run();

    const TArchiveConnection connection_;
    const QStringList chosen_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> done_{0};
    std::atomic<int> total_{0};
    // Written by the job's thread before total_ is set, read after.
    QStringList files_;
    // Written by the job's thread before finished_ is set, read after.
    TArchiveError openError_;
    TImportSummary summary_;
};

} // namespace lum1
