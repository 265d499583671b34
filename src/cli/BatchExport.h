#pragma once
// The command line for batch work: "lum1 --export FORMAT INPUT.lum1 OUTPUT [--lang rus|eng]",
// "--help" and "--version". It runs without a window, through the same exports as the menus,
// writes its messages to standard error in the chosen language and ends with an exit code.

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace lum1 {

struct TFileLocations;

// Exit codes; every failure is non-zero.
enum TBatchExit {
    BatchOk = 0,
    BatchUsage = 2,      // wrong command line: unknown option or format, missing or extra arguments
    BatchCantRead = 3,   // the input file cannot be opened or read
    BatchNoRecords = 4,  // the input holds no record: nothing to export
    BatchNoPosition = 5, // a map of records none of which has a position
    BatchCantWrite = 6,  // the output cannot be written (nothing is left under its name)
};

struct TBatchRequest {
    enum Mode { Help, Version, Export, Error };
    Mode Action = Error;
    QString Format; // lower case
    QString Input, Output;
    std::optional<bool> English; // --lang, when given
    QString ErrorKey;            // with Action Error: the text's key and its argument
    QString ErrorArgument;
};

// pdf, csv, txt, html, xlsx, kml or geojson (lower case).
bool IsExportFormat(const QString& format);

// True when the arguments ask for batch work rather than the window.
bool IsBatchCommandLine(const QStringList& arguments);

// arguments without the program's name.
TBatchRequest ParseBatchArguments(const QStringList& arguments);

// Runs a batch command line (arguments with the program's name first) inside a running
// application object; messages go to err, the usage and the version to out.
int RunBatch(const QStringList& arguments, const TFileLocations& locations, QTextStream& out,
             QTextStream& err);

// The whole program for a batch command line: its own window-free application object (no
// display is needed), then RunBatch.
int BatchMain(int argc, char** argv);

} // namespace lum1
