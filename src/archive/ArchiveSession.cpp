#include "archive/ArchiveSession.h"

#include "archive/ArchiveImport.h"

namespace lum1 {

TArchiveSession::TArchiveSession(Environment environment) : env_(std::move(environment)) {}

TArchiveSession::~TArchiveSession() = default;

TArchive* TArchiveSession::Archive(TArchiveError* error) {
    const TArchiveConnection wanted = env_.Settings().Connection(env_.ArchiveFolder);
    if (archive_ && archive_->IsOpen() && archive_->Connection() == wanted) {
        if (error)
            *error = {};
        return archive_.get();
    }
    if (!archive_)
        archive_ = std::make_unique<TArchive>();
    const TArchiveError e = archive_->Open(wanted);
    if (error)
        *error = e;
    return archive_->IsOpen() ? archive_.get() : nullptr;
}

void TArchiveSession::Tell(const TArchiveError& error, TNotice& notice) {
    const QString text = ArchiveErrorText(error, env_.Extra);
    notice.History << text;
    // The same trouble after every read would bury the window in boxes: one box per new message.
    if (text != lastBox_) {
        notice.Box = notice.Box.isEmpty() ? text : notice.Box + u'\n' + text;
        lastBox_ = text;
    }
}

TArchiveSession::TNotice TArchiveSession::ArchiveRead(std::span<const TMeasRecord> records,
                                                      const QString& paramText) {
    TNotice notice;
    if (records.empty() || !env_.Settings().AutoArchive)
        return notice;
    TArchiveError opened;
    TArchive* archive = Archive(&opened);
    if (opened) // a damaged file set aside, or no archive at all
        Tell(opened, notice);
    TArrivalResult result;
    const bool told = archive == nullptr;
    if (archive) {
        TDownloadInfo info;
        info.ParamText = paramText;
        result = ArchiveDownload(*archive, records, info);
        // Found damaged in the middle of the work: it has been set aside, and a new archive
        // takes the read.
        if (result.Error.Kind == TArchiveErrorKind::Damaged && !result.Error.SetAsidePath.isEmpty()) {
            Tell(result.Error, notice);
            archive = Archive(&opened);
            if (archive)
                result = ArchiveDownload(*archive, records, info);
            else
                result.Error = opened;
        }
    } else {
        result.Error = opened;
    }
    if (result.Ok()) {
        notice.History << ArrivalText(result, env_.Extra);
        return notice;
    }
    if (!told)
        Tell(result.Error, notice);
    if (!notice.Box.isEmpty())
        notice.Box += u'\n' + env_.Extra(QStringLiteral("ArchiveNotArchived"));
    return notice;
}

} // namespace lum1
