#include "archive/ArchiveMessages.h"

#include "archive/ArchiveSchema.h"

#include <QDir>

namespace lum1 {

namespace {

QString Text(const ExtraTextLookup& extra, const char* key) {
    return extra ? extra(QString::fromLatin1(key)) : QString();
}

} // namespace

QString ArchiveErrorText(const TArchiveError& error, const ExtraTextLookup& extra) {
    const QString& place = error.Place;
    const QString detail = error.Detail.isEmpty() ? QStringLiteral("?") : error.Detail;
    switch (error.Kind) {
    case TArchiveErrorKind::None:
        return {};
    case TArchiveErrorKind::Damaged:
        if (error.SetAsidePath.isEmpty())
            return Text(extra, "ArchiveFailed").arg(place, detail);
        return Text(extra, "ArchiveDamaged").arg(place, detail, error.SetAsidePath);
    case TArchiveErrorKind::SetAsideFailed:
        return Text(extra, "ArchiveSetAsideFailed").arg(place, detail);
    case TArchiveErrorKind::Foreign:
        return Text(extra, "ArchiveForeign").arg(place);
    case TArchiveErrorKind::ReadOnly:
        return Text(extra, "ArchiveReadOnly").arg(place);
    case TArchiveErrorKind::Locked:
        return Text(extra, "ArchiveLocked").arg(place);
    case TArchiveErrorKind::CantCreate:
        return Text(extra, "ArchiveCantCreate").arg(place, detail);
    case TArchiveErrorKind::NewerSchema:
        return Text(extra, "ArchiveNewerSchema")
            .arg(place, QString::number(error.SchemaVersion), QString::number(CurrentSchemaVersion()));
    case TArchiveErrorKind::NoDriver:
        return Text(extra, "ArchiveNoDriver").arg(place, detail);
    case TArchiveErrorKind::Unreachable:
        return Text(extra, "ArchiveUnreachable").arg(place, detail);
    case TArchiveErrorKind::AuthFailed:
        return Text(extra, "ArchiveAuthFailed").arg(place, detail);
    case TArchiveErrorKind::ConnectionLost:
        return Text(extra, "ArchiveConnectionLost").arg(place, detail);
    case TArchiveErrorKind::NotOpen:
    case TArchiveErrorKind::Failed:
        return Text(extra, "ArchiveFailed").arg(place, detail);
    }
    return {};
}

QString ArrivalText(const TArrivalResult& result, const ExtraTextLookup& extra) {
    return Text(extra, "ArchiveReadDone").arg(result.Records).arg(result.New).arg(result.Known);
}

QString FileArrivalText(const TFileArrival& file, const ExtraTextLookup& extra) {
    const QString name = QDir::toNativeSeparators(file.File);
    if (file.CantRead)
        return Text(extra, "ArchiveFileUnreadable").arg(name);
    if (file.Result.Error)
        return name + QStringLiteral(": ") + ArchiveErrorText(file.Result.Error, extra);
    return Text(extra, "ArchiveFileLine")
        .arg(name)
        .arg(file.Result.Records)
        .arg(file.Result.New)
        .arg(file.Result.Known);
}

QString ImportSummaryText(const TImportSummary& summary, const ExtraTextLookup& extra) {
    int imported = 0;
    for (const TFileArrival& f : summary.Files)
        if (!f.CantRead && f.Result.Ok())
            ++imported;
    QStringList lines;
    lines << Text(extra, "ArchiveImportDone")
                 .arg(imported)
                 .arg(summary.Records)
                 .arg(summary.New)
                 .arg(summary.Known);
    if (summary.Unreadable > 0)
        lines << Text(extra, "ArchiveImportUnreadable").arg(summary.Unreadable);
    if (summary.Error)
        lines << Text(extra, "ArchiveImportStopped").arg(ArchiveErrorText(summary.Error, extra));
    if (summary.Cancelled)
        lines << Text(extra, "ArchiveImportCancelled");
    return lines.join(u'\n');
}

QString ArchiveQueryErrorText(const TArchiveError& error, const ExtraTextLookup& extra) {
    const QString detail = error.Detail.isEmpty() ? QStringLiteral("?") : error.Detail;
    auto text = [&extra](const char* key) { return extra ? extra(QString::fromLatin1(key)) : QString(); };
    switch (error.Kind) {
    case TArchiveErrorKind::Failed:
    case TArchiveErrorKind::NotOpen:
        return text("ArchiveWindowFailed").arg(error.Place, detail);
    case TArchiveErrorKind::Damaged:
        if (error.SetAsidePath.isEmpty())
            return text("ArchiveWindowFailed").arg(error.Place, detail);
        break;
    case TArchiveErrorKind::ConnectionLost:
        return text("ArchiveWindowConnectionLost").arg(error.Place, detail);
    default:
        break;
    }
    return ArchiveErrorText(error, extra);
}

} // namespace lum1
