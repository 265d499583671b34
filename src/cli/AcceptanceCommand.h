#pragma once
// "lum1 --export acceptance-pdf INPUT.lum1 OUTPUT.pdf [options]": the acceptance report of every
// record of a results file as a lot, with the lot's limits, rule, correction and report header
// given as options; "lum1 --export acceptance-pdf --lot NAME OUTPUT.pdf [options]": that of an
// archive lot with what the archive keeps for it, options replacing it. Runs without a window like the other batch exports and shares their exit
// codes; a lot that gets no report (a refused correlation, no verdict, a logo that is no usable
// picture, a cores file it cannot read) ends with its own code.

#include "acceptance/CoresText.h"
#include "acceptance/LotAcceptance.h"
#include "report/AcceptanceReport.h"

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace lum1 {

struct TFileLocations;

// The report cannot be made from these inputs; the message says why.
constexpr int BatchAcceptanceRefused = 7;

// True for a command line (the program's name first) that asks for the acceptance report.
bool IsAcceptanceCommandLine(const QStringList& arguments);

struct TAcceptanceRequest {
    enum TMode { Export, Help, Error };
    TMode Action = Error;
    QString Input, Output;
    // The archive lot of that name instead of an input file (--lot with no input file): its
    // stored limits, rule and correlation hold where no option replaces them.
    QString ArchiveLot;
    std::optional<bool> English;
    // Limits as given; the minimum compaction factor falls back to the settings when not given.
    std::optional<double> MinCompaction, MaxCompaction, MinDensity, MaxDensity;
    TAcceptanceRule Rule = TAcceptanceRule::EveryPoint;
    bool RuleGiven = false;
    std::optional<double> Tolerance, PwlThreshold;
    // The correction: numbers given, or pairs to fit.
    std::optional<double> Offset, Slope, Intercept;
    QString CoresFile;
    TCorrelationKind Fit = TCorrelationKind::Offset;
    bool KeepOutliers = false;
    QString HeaderFile;
    QString LogoFile;
    // Header fields given as options, by their key in the header file.
    QList<std::pair<QString, QString>> HeaderFields;
    // With Action Error: the text's key and its arguments.
    QString ErrorKey;
    QStringList ErrorArguments;
};

// arguments without the program's name.
TAcceptanceRequest ParseAcceptanceArguments(const QStringList& arguments);

// Runs the command (arguments with the program's name first); messages to err, the verdict to out.
int RunAcceptanceExport(const QStringList& arguments, const TFileLocations& locations, QTextStream& out,
                        QTextStream& err);

} // namespace lum1
