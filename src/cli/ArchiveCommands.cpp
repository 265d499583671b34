#include "cli/ArchiveCommands.h"

#include "app/FileLocations.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveQuery.h"
#include "archive/ArchiveSettings.h"
#include "cli/BatchExport.h"
#include "cli/CliTexts.h"
#include "lang/ExtraTexts.h"
#include "lang/Language.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace lum1 {

namespace {

std::optional<QDate> ParseDate(const QString& text) {
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid() || text.size() != 10)
        return std::nullopt;
    return d;
}

int Import(const TArchiveRequest& request, TArchive& archive, const TCliTexts& texts, QTextStream& out,
           QTextStream& err) {
    const QStringList files = CollectResultsFiles(request.Inputs);
    if (files.isEmpty()) {
        Print(err, texts(QStringLiteral("CliNoFiles")).arg(request.Inputs.join(u' ')));
        return BatchCantRead;
    }
    const TImportSummary summary = ArchiveFiles(archive, files, [&](int, int, const TFileArrival* last) {
        if (last)
            Print(last->CantRead || last->Result.Error ? err : out, FileArrivalText(*last, texts.Lookup()));
        return true;
    });
    Print(summary.Error ? err : out, ImportSummaryText(summary, texts.Lookup()));
    if (summary.Error)
        return ArchiveUnusable;
    return summary.Unreadable > 0 ? BatchCantRead : BatchOk;
}

// The matching records become a results file, which the batch export then writes in the
// format asked, exactly as `--export` writes a file's records.
int Export(const TArchiveRequest& request, TArchive& archive, const TFileLocations& locations,
           const TCliTexts& texts, QTextStream& out, QTextStream& err) {
    TArchiveFilter filter;
    filter.From = request.From;
    filter.To = request.To;
    filter.Object = request.Object;
    if (!request.Lot.isEmpty()) {
        const std::optional<TLot> lot = FindLotByName(archive, request.Lot);
        if (archive.LastError()) {
            Print(err, ArchiveErrorText(archive.LastError(), texts.Lookup()));
            return ArchiveUnusable;
        }
        if (!lot) {
            Print(err, texts(QStringLiteral("CliNoLot")).arg(request.Lot));
            return BatchNoRecords;
        }
        filter.Lot = lot->Id;
    }
    const TArchiveCounts counts = CountRecords(archive, filter);
    if (archive.LastError()) {
        Print(err, ArchiveErrorText(archive.LastError(), texts.Lookup()));
        return ArchiveUnusable;
    }
    if (counts.Shown == 0) {
        Print(err, texts(QStringLiteral("CliNoMatch")));
        return BatchNoRecords;
    }
    if (counts.Shown > MaxRecords) {
        Print(err, texts(QStringLiteral("CliTooMany")).arg(counts.Shown).arg(MaxRecords));
        return ArchiveTooMany;
    }
    const std::vector<TArchiveRow> rows = FetchRecords(archive, filter, {1, false}, 0, MaxRecords);
    if (archive.LastError()) {
        Print(err, ArchiveErrorText(archive.LastError(), texts.Lookup()));
        return ArchiveUnusable;
    }
    QByteArray bytes;
    for (const TArchiveRow& row : rows)
        bytes.append(reinterpret_cast<const char*>(&row.Record), RecordSize);
    QTemporaryDir temporary;
    const QString file = temporary.filePath(QStringLiteral("archive.lum1"));
    QFile f(file);
    if (!temporary.isValid() || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() ||
        !f.flush()) {
        Print(err,
              texts(QStringLiteral("ExportFailed")).arg(QDir::toNativeSeparators(file), f.errorString()));
        return BatchCantWrite;
    }
    f.close();
    return RunBatch({QStringLiteral("lum1"), QStringLiteral("--export"), request.Format, file, request.Output,
                     QStringLiteral("--lang"),
                     texts.English() ? QStringLiteral("eng") : QStringLiteral("rus")},
                    locations, out, err);
}

} // namespace

int OpenBatchArchive(TArchive& archive, const TFileLocations& locations, const TCliTexts& texts, QTextStream& err) {
    TArchiveConnection connection =
        TArchiveSettings::Read(TIniFile(locations.SettingsPath)).Connection(locations.ArchiveDir);
    // No window waits on the command line: another program's import (the window's or a second
    // batch job's) holds the file for a whole arrival, which a busy machine stretches past the
    // window's few seconds, so a batch job waits for its turn rather than fail. (A server's
    // connect time-out stays short: an unreachable server is told at once.)
    if (connection.Engine == TArchiveEngine::SQLite)
        connection.TimeoutMs = 120000;
    const TArchiveError opened = archive.Open(connection);
    if (opened) // a damaged file set aside (and a new archive open), or no archive
        Print(err, ArchiveErrorText(opened, texts.Lookup()));
    return archive.IsOpen() ? static_cast<int>(BatchOk) : static_cast<int>(ArchiveUnusable);
}

bool IsArchiveCommandLine(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments[i] == u"--import" || arguments[i] == u"--archive-export")
            return true;
    return false;
}

TArchiveRequest ParseArchiveArguments(const QStringList& arguments) {
    TArchiveRequest request;
    auto fail = [&request](const char* key, const QString& argument) {
        request.Action = TArchiveRequest::Error;
        request.ErrorKey = QString::fromLatin1(key);
        request.ErrorArgument = argument;
        return request;
    };
    bool import = false, exportAsked = false;
    QStringList values;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool withValue =
            a == u"--lang" || a == u"--from" || a == u"--to" || a == u"--object" || a == u"--lot";
        if (withValue && i + 1 >= arguments.size())
            return fail("CliBadArguments", a);
        if (a == u"--import") {
            if (import || exportAsked)
                return fail("CliBadArguments", a);
            import = true;
        } else if (a == u"--archive-export") {
            if (import || exportAsked)
                return fail("CliBadArguments", a);
            exportAsked = true;
        } else if (a == u"--lang") {
            const QString lang = arguments[++i].toLower();
            if (lang != u"rus" && lang != u"eng")
                return fail("CliBadLanguage", arguments[i]);
            request.English = lang == u"eng";
        } else if (a == u"--from" || a == u"--to") {
            const std::optional<QDate> day = ParseDate(arguments[++i]);
            if (!day)
                return fail("CliBadDate", arguments[i]);
            (a == u"--from" ? request.From : request.To) = day;
        } else if (a == u"--object") {
            request.Object = arguments[++i];
        } else if (a == u"--lot") {
            request.Lot = arguments[++i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return fail("CliBadArguments", a);
        } else {
            values << a;
        }
    }
    if (import) {
        if (values.isEmpty() || request.From || request.To || !request.Object.isEmpty() ||
            !request.Lot.isEmpty())
            return fail("CliBadArguments", arguments.join(u' '));
        request.Inputs = values;
        request.Action = TArchiveRequest::Import;
        return request;
    }
    if (!exportAsked || values.size() != 2 || values[1].isEmpty())
        return fail("CliBadArguments", arguments.join(u' '));
    request.Format = values[0].toLower();
    if (!IsExportFormat(request.Format))
        return fail("CliBadFormat", values[0]);
    request.Output = values[1];
    request.Action = TArchiveRequest::Export;
    return request;
}

int RunArchiveCommand(const QStringList& arguments, const TFileLocations& locations, QTextStream& out,
                      QTextStream& err) {
    const TArchiveRequest request = ParseArchiveArguments(arguments.mid(1));
    const TCliTexts texts(locations, request.English);
    if (request.Action == TArchiveRequest::Error) {
        Print(err, texts(request.ErrorKey).arg(request.ErrorArgument));
        Print(err, texts(QStringLiteral("CliUsage")));
        Print(err, texts(QStringLiteral("CliArchiveUsage")));
        return BatchUsage;
    }
    TArchive archive;
    if (const int opened = OpenBatchArchive(archive, locations, texts, err))
        return opened;
    return request.Action == TArchiveRequest::Import ? Import(request, archive, texts, out, err)
                                                     : Export(request, archive, locations, texts, out, err);
}

} // namespace lum1
