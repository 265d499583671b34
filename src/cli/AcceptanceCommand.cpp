#include "cli/AcceptanceCommand.h"

#include "acceptance/AcceptanceTexts.h"
#include "app/FileLocations.h"
#include "archive/ArchiveAcceptance.h"
#include "archive/ArchiveMessages.h"
#include "cli/ArchiveCommands.h"
#include "cli/BatchExport.h"
#include "cli/CliTexts.h"
#include "lang/ExtraTexts.h"
#include "lang/Language.h"
#include "lang/MessageTable.h"
#include "lot/AcceptanceSettings.h"
#include "platform/ExportFile.h"
#include "platform/FormatFloat.h"
#include "platform/IniFile.h"
#include "report/PdfExport.h"
#include "report/ReportLogo.h"
#include "results/ResultsFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <memory>

namespace lum1 {

namespace {

const QString kFormat = QStringLiteral("acceptance-pdf");

// The header file's keys, and the options that give them.
const std::pair<const char*, const char*> kHeaderOptions[] = {
    {"--organisation", "Organisation"},
    {"--project", "Project"},
    {"--road", "Road"},
    {"--lot", "Lot"},
    {"--mix", "Mix"},
    {"--layer", "Layer"},
    {"--gauge", "Gauge"},
    {"--operator", "Operator"},
};

const char* const kValueOptions[] = {
    "--lang",      "--min-compaction", "--max-compaction", "--min-density", "--max-density", "--rule",
    "--tolerance", "--pwl-threshold",  "--offset",         "--slope",       "--intercept",   "--cores",
    "--fit",       "--header",         "--logo",
};

bool IsValueOption(const QString& a) {
    for (const char* o : kValueOptions)
        if (a == QLatin1String(o))
            return true;
    for (const auto& [option, key] : kHeaderOptions)
        if (a == QLatin1String(option))
            return true;
    return false;
}

// A number as a user types it, with a point or a comma; nothing for anything else, infinities
// and NaN included.
std::optional<double> ParseNumber(QString text) {
    text = text.trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

bool IsAcceptanceCommandLine(const QStringList& arguments) {
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == u"--export" && arguments[i + 1].compare(kFormat, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

TAcceptanceRequest ParseAcceptanceArguments(const QStringList& arguments) {
    TAcceptanceRequest r;
    auto fail = [&r](const char* key, QStringList args) {
        r.Action = TAcceptanceRequest::Error;
        r.ErrorKey = QString::fromLatin1(key);
        r.ErrorArguments = std::move(args);
        return r;
    };
    QStringList values;
    QStringList given; // the options met, for the checks of what goes with what
    bool help = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--help" || a == u"-h") {
            help = true;
            continue;
        }
        if (a == u"--export")
            continue;
        if (a == u"--keep-outliers") {
            r.KeepOutliers = true;
            given << a;
            continue;
        }
        if (a.startsWith(u'-') && a.size() > 1 && !IsValueOption(a))
            return fail("CliBadArguments", {a});
        if (!a.startsWith(u'-') || a.size() == 1) {
            values << a;
            continue;
        }
        if (i + 1 >= arguments.size())
            return fail("CliBadArguments", {a});
        if (given.contains(a))
            return fail("CliBadArguments", {a});
        given << a;
        const QString v = arguments[++i];
        auto number = [&](std::optional<double>& to, double lo, double hi) {
            const std::optional<double> n = ParseNumber(v);
            if (!n || *n < lo || *n > hi)
                return false;
            to = n;
            return true;
        };
        bool ok = true;
        if (a == u"--lang") {
            const QString lang = v.toLower();
            if (lang != u"rus" && lang != u"eng")
                return fail("CliBadLanguage", {v});
            r.English = lang == u"eng";
        } else if (a == u"--min-compaction") {
            ok = number(r.MinCompaction, 0.0, 2.0);
        } else if (a == u"--max-compaction") {
            ok = number(r.MaxCompaction, 0.0, 2.0);
        } else if (a == u"--min-density") {
            ok = number(r.MinDensity, 0.0, 10000.0);
        } else if (a == u"--max-density") {
            ok = number(r.MaxDensity, 0.0, 10000.0);
        } else if (a == u"--tolerance") {
            ok = number(r.Tolerance, 0.0, 10000.0);
        } else if (a == u"--pwl-threshold") {
            ok = number(r.PwlThreshold, 0.0, 100.0);
        } else if (a == u"--offset") {
            ok = number(r.Offset, -10000.0, 10000.0);
        } else if (a == u"--slope") {
            // A slope of 0 or below would turn the gauge's order of densities around.
            ok = number(r.Slope, 1e-6, 100.0);
        } else if (a == u"--intercept") {
            ok = number(r.Intercept, -100000.0, 100000.0);
        } else if (a == u"--rule") {
            const QString rule = v.toLower();
            ok = rule == u"every" || rule == u"mean" || rule == u"pwl";
            r.RuleGiven = true;
            r.Rule = rule == u"mean"  ? TAcceptanceRule::MeanAndTolerance
                     : rule == u"pwl" ? TAcceptanceRule::Pwl
                                      : TAcceptanceRule::EveryPoint;
        } else if (a == u"--fit") {
            const QString fit = v.toLower();
            ok = fit == u"offset" || fit == u"line";
            r.Fit = fit == u"line" ? TCorrelationKind::Line : TCorrelationKind::Offset;
        } else if (a == u"--cores") {
            r.CoresFile = v;
            ok = !v.isEmpty();
        } else if (a == u"--header") {
            r.HeaderFile = v;
            ok = !v.isEmpty();
        } else if (a == u"--logo") {
            r.LogoFile = v;
            ok = !v.isEmpty();
        } else {
            for (const auto& [option, key] : kHeaderOptions)
                if (a == QLatin1String(option))
                    r.HeaderFields.append({QString::fromLatin1(key), v});
        }
        if (!ok)
            return fail("AccCliBadValue", {a, v});
    }
    if (help) {
        r.Action = TAcceptanceRequest::Help;
        return r;
    }
    auto has = [&given](const char* o) { return given.contains(QString::fromLatin1(o)); };
    // Without an input file, --lot names the archive lot the report is of.
    const bool lotMode = values.size() == 2 && has("--lot");
    if (values.size() != (lotMode ? 2 : 3) || values[0].compare(kFormat, Qt::CaseInsensitive) != 0 ||
        values.mid(1).contains(QString()))
        return fail("CliBadArguments", {arguments.join(u' ')});
    if (lotMode) {
        for (qsizetype i = 0; i < r.HeaderFields.size(); ++i)
            if (r.HeaderFields[i].first == u"Lot")
                r.ArchiveLot = r.HeaderFields.takeAt(i--).second;
        if (r.ArchiveLot.trimmed().isEmpty())
            return fail("AccCliBadValue", {"--lot", r.ArchiveLot});
        r.Output = values[1];
    } else {
        r.Input = values[1];
        r.Output = values[2];
    }

    // What goes with what.
    auto conflict = [&](const char* a, const char* b) {
        return has(a) && has(b) ? std::optional<TAcceptanceRequest>(fail("AccCliConflict", {a, b}))
                                : std::nullopt;
    };
    for (const char* compaction : {"--min-compaction", "--max-compaction"})
        for (const char* density : {"--min-density", "--max-density"})
            if (auto e = conflict(compaction, density))
                return *e;
    for (auto [a, b] : {std::pair{"--offset", "--slope"},
                        {"--offset", "--intercept"},
                        {"--offset", "--cores"},
                        {"--slope", "--cores"},
                        {"--intercept", "--cores"}})
        if (auto e = conflict(a, b))
            return *e;
    auto needs = [&](const char* a, const char* b, bool present) {
        return has(a) && !present ? std::optional<TAcceptanceRequest>(fail("AccCliNeeds", {a, b}))
                                  : std::nullopt;
    };
    for (const auto& e : {needs("--slope", "--intercept", has("--intercept")),
                          needs("--intercept", "--slope", has("--slope")), needs("--fit", "--cores", has("--cores")),
                          needs("--keep-outliers", "--cores", has("--cores"))})
        if (e)
            return *e;
    r.Action = TAcceptanceRequest::Export;
    // An archive lot's own limits and rule complete the options: checked once merged with them.
    if (lotMode)
        return r;
    for (const auto& e : {needs("--tolerance", "--rule mean", r.Rule == TAcceptanceRule::MeanAndTolerance),
                          needs("--pwl-threshold", "--rule pwl", r.Rule == TAcceptanceRule::Pwl),
                          needs("--max-density", "--min-density", has("--min-density"))})
        if (e)
            return *e;
    if (r.Rule == TAcceptanceRule::MeanAndTolerance && !r.Tolerance)
        return fail("AccCliNeeds", {"--rule mean", "--tolerance"});
    const double lower = r.MinDensity ? *r.MinDensity : r.MinCompaction.value_or(0.0);
    const std::optional<double> upper = r.MinDensity ? r.MaxDensity : r.MaxCompaction;
    if (upper && *upper < lower)
        return fail("AccCliBadValue", {r.MinDensity ? "--max-density" : "--max-compaction",
                                       FormatFloat(*upper, u"#0.###", u'.')});
    r.Action = TAcceptanceRequest::Export;
    return r;
}

namespace {

// The header file's fields; a logo named there lies beside the file unless its path says otherwise.
// overwrite: every field of the file replaces the header's; else only those the file fills.
bool ReadHeaderFile(const QString& path, bool overwrite, TAcceptanceHeader& h, QString& logoPath) {
    const QFileInfo info(path);
    QFile probe(path);
    if (info.isDir() || !probe.open(QIODevice::ReadOnly))
        return false;
    const TIniFile ini(path);
    const std::pair<const char*, QString TAcceptanceHeader::*> fields[] = {
        {"Organisation", &TAcceptanceHeader::Organisation},
        {"Project", &TAcceptanceHeader::Project},
        {"Road", &TAcceptanceHeader::Road},
        {"Lot", &TAcceptanceHeader::Lot},
        {"Mix", &TAcceptanceHeader::Mix},
        {"Layer", &TAcceptanceHeader::Layer},
        {"ReferenceDensity", &TAcceptanceHeader::ReferenceDensity},
        {"Gauge", &TAcceptanceHeader::Gauge},
        {"Operator", &TAcceptanceHeader::Operator},
        {"Dates", &TAcceptanceHeader::Dates},
    };
    for (const auto& [key, field] : fields) {
        const QString value = ini.ReadString(QStringLiteral("Header"), QString::fromLatin1(key), {});
        if (overwrite || !value.isEmpty())
            h.*field = value;
    }
    const QString logo = ini.ReadString(QStringLiteral("Header"), QStringLiteral("Logo"), {});
    if (!logo.isEmpty())
        logoPath = QFileInfo(logo).isAbsolute() ? logo : info.dir().filePath(logo);
    return true;
}

// An archive lot's limits and rule with the options' in their place; the error's key and
// arguments when the two together are no limits or the options ask for a rule's value that the
// rule does not take.
std::optional<std::pair<QString, QStringList>> MergeLimits(const TAcceptanceRequest& r, double defaultMinimum,
                                                           TAcceptanceLimits& l) {
    using Error = std::pair<QString, QStringList>;
    if (r.MinDensity || r.MaxDensity) {
        if (l.Quantity != TAcceptanceQuantity::Density) {
            // Another quantity: the stored numbers are of no use for it.
            if (!r.MinDensity)
                return Error{"AccCliNeeds", {"--max-density", "--min-density"}};
            l.Quantity = TAcceptanceQuantity::Density;
            l.Upper.reset();
        }
        if (r.MinDensity)
            l.Lower = *r.MinDensity;
        if (r.MaxDensity)
            l.Upper = r.MaxDensity;
    } else if (r.MinCompaction || r.MaxCompaction) {
        if (l.Quantity != TAcceptanceQuantity::Compaction) {
            l.Quantity = TAcceptanceQuantity::Compaction;
            l.Lower = defaultMinimum;
            l.Upper.reset();
        }
        if (r.MinCompaction)
            l.Lower = *r.MinCompaction;
        if (r.MaxCompaction)
            l.Upper = r.MaxCompaction;
    }
    const TAcceptanceRule stored = l.Rule;
    if (r.RuleGiven)
        l.Rule = r.Rule;
    if (r.Tolerance && l.Rule != TAcceptanceRule::MeanAndTolerance)
        return Error{"AccCliNeeds", {"--tolerance", "--rule mean"}};
    if (r.PwlThreshold && l.Rule != TAcceptanceRule::Pwl)
        return Error{"AccCliNeeds", {"--pwl-threshold", "--rule pwl"}};
    // A tolerance kept for another rule means nothing for this one.
    if (l.Rule == TAcceptanceRule::MeanAndTolerance && stored != l.Rule && !r.Tolerance)
        return Error{"AccCliNeeds", {"--rule mean", "--tolerance"}};
    if (r.Tolerance)
        l.Tolerance = *r.Tolerance;
    if (r.PwlThreshold)
        l.PwlThreshold = *r.PwlThreshold;
    if (!l.Valid())
        return Error{"AccCliBadValue",
                     {l.Quantity == TAcceptanceQuantity::Density ? "--max-density" : "--max-compaction",
                      FormatFloat(l.Upper.value_or(0.0), u"#0.###", u'.')}};
    return std::nullopt;
}

} // namespace

int RunAcceptanceExport(const QStringList& arguments, const TFileLocations& locations, QTextStream& out,
                        QTextStream& err) {
    const TAcceptanceRequest request = ParseAcceptanceArguments(arguments.mid(1));
    const TCliTexts texts(locations, request.English);
    auto usage = [&](const QString& key, const QStringList& args) {
        QString message = texts.Extra(key);
        for (const QString& a : args)
            message = message.arg(a);
        Print(err, message);
        Print(err, texts.Extra("AccCliUsage"));
        Print(err, texts.Extra("AccCliLotUsage"));
        return BatchUsage;
    };
    switch (request.Action) {
    case TAcceptanceRequest::Error:
        return usage(request.ErrorKey, request.ErrorArguments);
    case TAcceptanceRequest::Help:
        Print(out, texts.Extra("CliUsage"));
        Print(out, texts.Extra("AccCliUsage"));
        Print(out, texts.Extra("AccCliLotUsage"));
        return BatchOk;
    case TAcceptanceRequest::Export:
        break;
    }
    auto cantOpen = [&](const QString& path) {
        Print(err, texts.Extra("CliCantOpen").arg(Native(path)));
        return BatchCantRead;
    };
    auto refused = [&](const QStringList& reasons) {
        Print(err, texts.Extra("AccCliRefused"));
        for (const QString& reason : reasons)
            Print(err, reason);
        return BatchAcceptanceRefused;
    };
    const QChar separator = SystemDecimalSeparator();
    const TTextLookup extra = [&texts](const QString& key) { return texts.Extra(key); };

    TAcceptanceReportInput lot;
    TAcceptanceLimits& limits = lot.Limits;
    QString logoPath;
    std::optional<TLotCorrelation> stored; // an archive lot's correlation
    if (!request.ArchiveLot.isEmpty()) {
        TArchive archive;
        if (const int opened = OpenBatchArchive(archive, locations, texts, err))
            return opened;
        // Writing over the archive's file would lose every record in it.
        if (archive.Engine() == TArchiveEngine::SQLite) {
            const QFileInfo output(request.Output), file(archive.Connection().SqlitePath);
            if (output.exists() && output.canonicalFilePath() == file.canonicalFilePath()) {
                Print(err, texts.Extra("CliSameFile").arg(Native(request.Output)));
                return BatchUsage;
            }
        }
        const auto archiveFailed = [&] {
            Print(err, ArchiveErrorText(archive.LastError(), texts.Lookup()));
            return ArchiveUnusable;
        };
        const std::optional<TLot> found = FindLotByName(archive, request.ArchiveLot);
        if (archive.LastError())
            return archiveFailed();
        if (!found) {
            Print(err, texts.Extra("CliNoLot").arg(request.ArchiveLot));
            return BatchNoRecords;
        }
        lot.Records = AcceptanceLotRecords(archive, found->Id);
        if (!archive.LastError())
            stored = LotCorrelationOf(archive, found->Id);
        std::optional<TAcceptanceLimits> own;
        if (!archive.LastError())
            own = LotLimits(archive, found->Id);
        if (archive.LastError())
            return archiveFailed();
        if (lot.Records.empty()) {
            Print(err, texts.Extra("ArchiveLotEmpty").arg(found->Name));
            return BatchNoRecords;
        }
        if (lot.Records.size() > static_cast<size_t>(MaxRecords)) {
            Print(err, texts.Extra("AccLotTooMany").arg(found->Name).arg(lot.Records.size()).arg(MaxRecords));
            return ArchiveTooMany;
        }
        // What the window would judge the lot by, the options in their place.
        const TIniFile settings(locations.SettingsPath);
        const double minimum = StoredMinCompaction(locations);
        limits = own ? *own : ReadAcceptanceLimits(settings, minimum);
        if (const auto wrong = MergeLimits(request, minimum, limits))
            return usage(wrong->first, wrong->second);
        const TReportHeaderSetup setup = ReadReportHeader(settings);
        lot.Header = LotHeader(setup.Header, found->Name, found->Object, found->Material, found->Layer);
        logoPath = setup.Logo;
        if (!request.HeaderFile.isEmpty()) {
            const QString lotName = lot.Header.Lot;
            if (!ReadHeaderFile(request.HeaderFile, false, lot.Header, logoPath))
                return cantOpen(request.HeaderFile);
            lot.Header.Lot = lotName; // the archive's name is the lot's
        }
    } else {
        // Writing over the results file would lose the measurements the report is made from.
        const QFileInfo input(request.Input), output(request.Output);
        if (output.exists() && input.exists() && output.canonicalFilePath() == input.canonicalFilePath()) {
            Print(err, texts.Extra("CliSameFile").arg(Native(request.Output)));
            return BatchUsage;
        }
        QFile file(request.Input);
        if (input.isDir() || !file.open(QIODevice::ReadOnly))
            return cantOpen(request.Input);
        auto store = std::make_unique<TRecordStore>();
        ReadRecords(file, *store);
        if (file.error() != QFileDevice::NoError)
            return cantOpen(request.Input);
        const int count = store->RecordCount.load();
        if (count == 0) {
            Print(err, texts.Extra("CliNoRecords").arg(Native(request.Input)));
            return BatchNoRecords;
        }
        lot.Records.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const TMeasRecord& r = store->Records[static_cast<size_t>(i)];
            lot.Records.push_back({r.Number, r});
        }

        // Limits: a density window when a density limit is given, else the compaction factor.
        if (request.MinDensity) {
            limits.Quantity = TAcceptanceQuantity::Density;
            limits.Lower = *request.MinDensity;
            limits.Upper = request.MaxDensity;
        } else {
            limits.Lower = request.MinCompaction.value_or(StoredMinCompaction(locations));
            limits.Upper = request.MaxCompaction;
        }
        limits.Rule = request.Rule;
        limits.Tolerance = request.Tolerance.value_or(0.0);
        limits.PwlThreshold = request.PwlThreshold.value_or(90.0);

        if (!request.HeaderFile.isEmpty() && !ReadHeaderFile(request.HeaderFile, true, lot.Header, logoPath))
            return cantOpen(request.HeaderFile);
    }

    // The header: the options' fields over what came before, the lot named after the input.
    for (const auto& [key, value] : request.HeaderFields) {
        TAcceptanceHeader& h = lot.Header;
        QString* field = key == u"Organisation" ? &h.Organisation
                         : key == u"Project"    ? &h.Project
                         : key == u"Road"       ? &h.Road
                         : key == u"Lot"        ? &h.Lot
                         : key == u"Mix"        ? &h.Mix
                         : key == u"Layer"      ? &h.Layer
                         : key == u"Gauge"      ? &h.Gauge
                                                : &h.Operator;
        *field = value;
    }
    if (lot.Header.Lot.trimmed().isEmpty())
        lot.Header.Lot = QFileInfo(request.Input).completeBaseName();
    if (!request.LogoFile.isEmpty())
        logoPath = request.LogoFile;

    if (!logoPath.isEmpty()) {
        const TReportLogo logo = LoadReportLogo(logoPath);
        switch (logo.Result) {
        case TReportLogo::Loaded:
            lot.Logo = logo.Image;
            break;
        case TReportLogo::CantOpen:
            Print(err, texts.Extra("AccLogoCantOpen").arg(Native(logoPath)));
            return BatchCantRead;
        case TReportLogo::NotImage:
            return refused({texts.Extra("AccLogoNotImage").arg(Native(logoPath))});
        case TReportLogo::TooLarge:
            return refused({texts.Extra("AccLogoTooLarge").arg(Native(logoPath), logo.Detail)});
        }
    }

    if (request.Offset) {
        lot.Correction.Kind = TCorrelationKind::Offset;
        lot.Correction.Offset = *request.Offset;
    } else if (request.Slope) {
        lot.Correction.Kind = TCorrelationKind::Line;
        lot.Correction.Slope = *request.Slope;
        lot.Correction.Intercept = request.Intercept.value_or(0.0);
    } else if (!request.CoresFile.isEmpty()) {
        QFile cores(request.CoresFile);
        if (QFileInfo(request.CoresFile).isDir() || !cores.open(QIODevice::ReadOnly))
            return cantOpen(request.CoresFile);
        int badLine = 0;
        const std::vector<TCorePair> pairs = ParseCoresText(QString::fromUtf8(cores.readAll()), &badLine);
        if (badLine > 0)
            return refused({texts.Extra("AccCliCoresLine").arg(Native(request.CoresFile)).arg(badLine)});
        const TCorrelationFit fit = FitCorrelation(lot.Records, pairs, request.Fit, request.KeepOutliers);
        if (!fit.Ok()) {
            QStringList reasons;
            for (const TAcceptanceIssue& issue : fit.Issues)
                reasons << AcceptanceIssueText(issue, extra, separator);
            return refused(reasons);
        }
        lot.Correction = fit.Correction();
    } else if (stored) {
        // The archive's correlation, as long as it still holds for the lot's records.
        const std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(lot.Records, *stored);
        if (!issues.empty()) {
            QStringList reasons{texts.Extra("AccCliStoredCorrelation")};
            for (const TAcceptanceIssue& issue : issues)
                reasons << AcceptanceIssueText(issue, extra, separator);
            return refused(reasons);
        }
        lot.Correction = stored->ForUse();
    }

    TAcceptanceTexts reportTexts;
    reportTexts.Documented = [&texts](const QString& key) { return texts.Documented(key); };
    reportTexts.Extra = extra;
    reportTexts.EnglishUI = texts.English();
    reportTexts.Separator = separator;
    reportTexts.ApplicationTitle = texts.Documented(QStringLiteral("Title"));
    TAcceptanceReport report;
    QString refusal;
    if (!report.Prepare(lot, reportTexts, &refusal))
        return refused({refusal});

    const QString reason =
        WriteExportFile(request.Output, ExportPdf(report.Prepared(), report.frxReport1.DocumentInfo));
    if (!reason.isEmpty()) {
        Print(err, texts.Extra("ExportFailed").arg(Native(request.Output), reason));
        return BatchCantWrite;
    }
    const TLotAcceptance& a = report.Acceptance();
    Print(out,
          VerdictText(a.Verdict, extra) + QStringLiteral(": ") + VerdictReason(a, limits, extra, separator));
    return BatchOk;
}

} // namespace lum1
