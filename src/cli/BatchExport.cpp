#include "cli/BatchExport.h"

#include "about/BuildInfo.h"
#include "app/ColumnLayout.h"
#include "app/FileLocations.h"
#include "cli/AcceptanceCommand.h"
#include "cli/ArchiveCommands.h"
#include "cli/CliTexts.h"
#include "export/TableExport.h"
#include "lang/ExtraTexts.h"
#include "lang/Language.h"
#include "lang/MessageTable.h"
#include "platform/ExportFile.h"
#include "platform/FormatFloat.h"
#include "platform/IniFile.h"
#include "report/CsvExport.h"
#include "report/HtmlExport.h"
#include "report/MeasurementReport.h"
#include "report/PdfExport.h"
#include "report/TextExport.h"
#include "results/ResultsFiles.h"
#include "stats/LotStatistics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <numeric>

namespace lum1 {

namespace {

const QStringList kFormats = {QStringLiteral("pdf"),    QStringLiteral("csv"),  QStringLiteral("txt"),
                              QStringLiteral("html"),   QStringLiteral("xlsx"), QStringLiteral("kml"),
                              QStringLiteral("geojson")};

bool IsBatchOption(const QString& a) {
    return a == u"--export" || a == u"--help" || a == u"-h" || a == u"--version" || a == u"--lang" ||
           a == u"--min-compaction" || a == u"--import" || a == u"--archive-export";
}

ColWidths StoredWidths(const TFileLocations& locations) {
    TIniFile ini(locations.SettingsPath);
    ColWidths read{};
    for (int i = 0; i < GridColumns; ++i)
        read[static_cast<size_t>(i)] =
            ini.ReadInteger(QStringLiteral("FormMain"), QStringLiteral("ColWidth%1").arg(i), NoStoredWidth);
    return AcceptStoredWidths(read);
}

// The measurement report of every record, as the print command makes it for the whole table,
// in one of the report's export formats.
QByteArray ReportBytes(const QString& format, const TRecordStore& store, const TCliTexts& texts,
                       const TFileLocations& locations) {
    const int count = store.RecordCount.load();
    const TRecordTextContext ctx = TRecordTextContext::Fetch(
        [&texts](const QString& key) { return texts.Documented(key); }, texts.English());
    std::vector<TRowTexts> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(RowTexts(store.Records[static_cast<size_t>(i)], ctx));

    TReportGrid grid;
    grid.RowCount = count + 2;
    grid.Cell = [&rows](int column, int gridRow) {
        const int row = gridRow - 2;
        if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column >= ResultColumns)
            return QString();
        return rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
    };
    const ColWidths widths = ComputeColumnWidths(StoredWidths(locations), 1000);
    for (int c = 0; c < ReportColumns; ++c)
        grid.ColWidths[static_cast<size_t>(c)] = widths[static_cast<size_t>(c)];

    TMeasurementReport report;
    QByteArray bytes;
    report.ShowReport = [&bytes, &format](TfrxReport& r) {
        const TPreparedReport& prepared = r.PreparedPages();
        if (format == u"pdf")
            bytes = ExportPdf(prepared, r.DocumentInfo);
        else if (format == u"csv")
            bytes = ExportCsv(prepared);
        else if (format == u"txt")
            bytes = ExportText(prepared);
        else
            bytes = ExportHtml(prepared, r.DocumentInfo.Title);
    };
    TReportEnvironment environment;
    environment.GetLangMessage = [&texts](const QString& key) { return texts.Documented(key); };
    environment.ApplicationTitle = texts.Documented(QStringLiteral("Title"));
    environment.EnglishUI = texts.English();
    // No language folder: the preview's texts are not needed, and no file is written for them.
    report.APrintExecute(count, grid, environment);
    return bytes;
}

} // namespace

bool IsExportFormat(const QString& format) {
    return kFormats.contains(format);
}

bool IsBatchCommandLine(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (IsBatchOption(arguments[i]))
            return true;
    return false;
}

TBatchRequest ParseBatchArguments(const QStringList& arguments) {
    TBatchRequest request;
    auto fail = [&request](const char* key, const QString& argument) {
        request.Action = TBatchRequest::Error;
        request.ErrorKey = QString::fromLatin1(key);
        request.ErrorArgument = argument;
        return request;
    };
    bool help = false, version = false, exportAsked = false;
    QStringList values;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--help" || a == u"-h") {
            help = true;
        } else if (a == u"--version") {
            version = true;
        } else if (a == u"--lang") {
            if (i + 1 >= arguments.size())
                return fail("CliBadArguments", a);
            const QString lang = arguments[++i].toLower();
            if (lang != u"rus" && lang != u"eng")
                return fail("CliBadLanguage", arguments[i]);
            request.English = lang == u"eng";
        } else if (a == u"--min-compaction") {
            if (i + 1 >= arguments.size())
                return fail("CliBadArguments", a);
            request.MinCompaction = ParseMinCompaction(arguments[++i]);
            if (!request.MinCompaction)
                return fail("CliBadMinCompaction", arguments[i]);
        } else if (a == u"--export") {
            if (exportAsked)
                return fail("CliBadArguments", a);
            exportAsked = true;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return fail("CliBadArguments", a);
        } else {
            values << a;
        }
    }
    if (help) {
        request.Action = TBatchRequest::Help;
        return request;
    }
    if (version) {
        request.Action = TBatchRequest::Version;
        return request;
    }
    if (!exportAsked || values.size() != 3)
        return fail("CliBadArguments", arguments.join(u' '));
    request.Format = values[0].toLower();
    if (!kFormats.contains(request.Format))
        return fail("CliBadFormat", values[0]);
    request.Input = values[1];
    request.Output = values[2];
    if (request.Input.isEmpty() || request.Output.isEmpty())
        return fail("CliBadArguments", arguments.join(u' '));
    request.Action = TBatchRequest::Export;
    return request;
}

int RunBatch(const QStringList& arguments, const TFileLocations& locations, QTextStream& out,
             QTextStream& err) {
    if (IsAcceptanceCommandLine(arguments))
        return RunAcceptanceExport(arguments, locations, out, err);
    if (IsArchiveCommandLine(arguments))
        return RunArchiveCommand(arguments, locations, out, err);
    const TBatchRequest request = ParseBatchArguments(arguments.mid(1));
    const TCliTexts texts(locations, request.English);
    switch (request.Action) {
    case TBatchRequest::Error:
        Print(err, texts.Extra(request.ErrorKey).arg(request.ErrorArgument));
        Print(err, texts.Extra(QStringLiteral("CliUsage")));
        Print(err, texts.Extra(QStringLiteral("CliUsageMinCompaction")));
        return BatchUsage;
    case TBatchRequest::Help:
        Print(out, texts.Extra(QStringLiteral("CliUsage")));
        Print(out, texts.Extra(QStringLiteral("CliUsageMinCompaction")));
        Print(out, texts.Extra(QStringLiteral("AccCliUsage")));
        Print(out, texts.Extra(QStringLiteral("AccCliLotUsage")));
        Print(out, texts.Extra(QStringLiteral("CliArchiveUsage")));
        return BatchOk;
    case TBatchRequest::Version:
        Print(out, QStringLiteral("lum1 %1 (%2)").arg(FileVersion(), BuildDate().simplified()));
        return BatchOk;
    case TBatchRequest::Export:
        break;
    }

    // Writing over the results file would lose the measurements the export is made from.
    const QFileInfo input(request.Input), output(request.Output);
    if (output.exists() && input.exists() && output.canonicalFilePath() == input.canonicalFilePath()) {
        Print(err, texts.Extra(QStringLiteral("CliSameFile")).arg(QDir::toNativeSeparators(request.Output)));
        return BatchUsage;
    }
    QFile file(request.Input);
    auto store = std::make_unique<TRecordStore>();
    if (input.isDir() || !file.open(QIODevice::ReadOnly)) {
        Print(err, texts.Extra(QStringLiteral("CliCantOpen")).arg(QDir::toNativeSeparators(request.Input)));
        return BatchCantRead;
    }
    ReadRecords(file, *store);
    if (file.error() != QFileDevice::NoError) {
        Print(err, texts.Extra(QStringLiteral("CliCantOpen")).arg(QDir::toNativeSeparators(request.Input)));
        return BatchCantRead;
    }
    const int count = store->RecordCount.load();
    if (count == 0) {
        Print(err, texts.Extra(QStringLiteral("CliNoRecords")).arg(QDir::toNativeSeparators(request.Input)));
        return BatchNoRecords;
    }

    TExportTexts exportTexts;
    exportTexts.Documented = [&texts](const QString& key) { return texts.Documented(key); };
    exportTexts.Extra = [&texts](const QString& key) { return texts.Extra(key); };
    exportTexts.Record = TRecordTextContext::Fetch(exportTexts.Documented, texts.English());

    const QString& format = request.Format;
    if (format == u"xlsx" || format == u"kml" || format == u"geojson") {
        std::vector<int> records(static_cast<size_t>(count));
        std::iota(records.begin(), records.end(), 0);
        const TTableFormat table = format == u"xlsx"  ? TTableFormat::Xlsx
                                   : format == u"kml" ? TTableFormat::Kml
                                                      : TTableFormat::GeoJson;
        const TExportOutcome outcome =
            ExportTableFile(table, request.Output, *store, records, exportTexts,
                            request.MinCompaction.value_or(StoredMinCompaction(locations)));
        if (outcome.Ok())
            return BatchOk;
        Print(err, OutcomeMessage(outcome, request.Output, exportTexts));
        return outcome.Result == TExportOutcome::NoPosition ? BatchNoPosition : BatchCantWrite;
    }

    const QByteArray bytes = ReportBytes(format, *store, texts, locations);
    const QString reason = WriteExportFile(request.Output, bytes);
    if (!reason.isEmpty()) {
        TExportOutcome failed;
        failed.Result = TExportOutcome::WriteFailed;
        failed.Reason = reason;
        Print(err, OutcomeMessage(failed, request.Output, exportTexts));
        return BatchCantWrite;
    }
    return BatchOk;
}

int BatchMain(int argc, char** argv) {
    // No window is ever shown: the offscreen platform needs no display and still has the fonts
    // the report is laid out and drawn with.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error carries the program's own messages only, not the toolkit's remarks about
    // the environment (an unset runtime folder, a missing font configuration).
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    QGuiApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("lum1"));
    const TFileLocations locations = TFileLocations::Decide(QCoreApplication::applicationFilePath(),
                                                            QProcessEnvironment::systemEnvironment());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunBatch(QCoreApplication::arguments(), locations, out, err);
}

} // namespace lum1
