#include "archiveui/ArchiveImportJob.h"

namespace lum1 {

TArchiveImportJob::TArchiveImportJob(TArchiveConnection connection, QStringList filesAndFolders)
    : connection_(std::move(connection)), chosen_(std::move(filesAndFolders)) {}

TArchiveImportJob::~TArchiveImportJob() {
    Cancel();
    Wait();
}

void TArchiveImportJob::Start() {
    if (!thread_.joinable() && !Finished())
        thread_ = std::thread([this] { Run(); });
}

void TArchiveImportJob::Wait() {
    if (thread_.joinable())
        thread_.join();
}

QString TArchiveImportJob::CurrentFile() const {
    // The list is written once, before its length is published.
    const int total = total_, done = done_;
    return done < total ? files_[done] : QString();
}

void TArchiveImportJob::Run() {
    files_ = CollectResultsFiles(chosen_);
    total_ = static_cast<int>(files_.size()); // publishes files_
    if (cancel_) {
        summary_.Cancelled = true;
    } else if (!files_.isEmpty()) {
        // The connection belongs to this thread: opened, used and closed here.
        TArchive archive;
        openError_ = archive.Open(connection_);
        if (archive.IsOpen()) {
            summary_ = ArchiveFiles(archive, files_, [this](int done, int, const TFileArrival*) {
                done_ = done;
                return !cancel_;
            });
        } else {
            summary_.Error = openError_;
        }
    }
    finished_.store(true, std::memory_order_release);
}

} // namespace lum1
