#pragma once
// The archive's command line:
//   lum1 --import FILE_OR_FOLDER... [--lang rus|eng]
//   lum1 --archive-export FORMAT OUTPUT [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--object TEXT]
//                         [--lot LOT] [--lang rus|eng]
// No window: the archive of the settings file's [Archive] section, messages in the chosen
// language on standard error, one line per imported file on standard output.

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace lum1 {

class TArchive;
class TCliTexts;
struct TFileLocations;

// Exit codes beyond those of the batch export (TBatchExit): 0 done, 2 wrong command line,
// 3 a file could not be read (the others were imported), 4 nothing to export (no record
// matches, or no lot of that name), 5 a map without any position, 6 the output cannot be
// written, and:
enum TArchiveExit {
    ArchiveUnusable = 8, // the archive cannot be opened, read or written (an import keeps the files done)
    ArchiveTooMany = 9,  // more records match than an export takes (the table's 2500)
};

struct TArchiveRequest {
    enum Mode { Import, Export, Error };
    Mode Action = Error;
    QStringList Inputs;     // Import: files and folders
    QString Format, Output; // Export
    std::optional<QDate> From, To;
    QString Object, Lot;
    std::optional<bool> English; // --lang, when given
    QString ErrorKey, ErrorArgument;
};

// True when the arguments (the program's name first) name an archive command.
bool IsArchiveCommandLine(const QStringList& arguments);

// arguments without the program's name.
TArchiveRequest ParseArchiveArguments(const QStringList& arguments);

// Opens the archive of the settings file for a batch command: BatchOk, or ArchiveUnusable after
// the message. A damaged file set aside (and a new archive begun) is told and is no failure.
int OpenBatchArchive(TArchive& archive, const TFileLocations& locations, const TCliTexts& texts, QTextStream& err);

// Runs an archive command line (the program's name first) inside a running application object.
int RunArchiveCommand(const QStringList& arguments, const TFileLocations& locations, QTextStream& out,
                      QTextStream& err);

} // namespace lum1
