#pragma once
// The save and open commands of results files (".lum1": the store's records, 90 bytes each,
// no header), with their dialogs, questions, warnings and status texts, free of widgets.

#include "platform/Dialogs.h"
#include "results/MeasRecord.h"
#include "results/RecordTexts.h"

#include <QString>

#include <functional>

class QIODevice;

namespace lum1 {

// The name the save command writes: ".Lum1" appended unless the name part already ends in
// ".lum1" in any letter case.
QString WithResultsExtension(const QString& fileName);

// Replaces the store by the whole 90-byte records of `in`, at most MaxRecords; a short last
// record ends the reading and is ignored. onRecord(n) runs after the n-th record is stored.
// Returns the number of records stored.
int ReadRecords(QIODevice& in, TRecordStore& store, const std::function<void(int)>& onRecord = {});

class TResultsFiles {
public:
    struct Callbacks {
        std::function<void(const QString&)> SetStatusBarGeneral; // status line and history
        std::function<void(const QString&)> ShowRunningCount;    // status panel only
        std::function<void()> ClearTable;                        // DataClear (with titles)
        // The store now holds the file's records: FillDataTable(0) and PopupMenu1Popup.
        std::function<void()> TableLoaded;
    };

    TResultsFiles(IDialogs& dialogs, LangLookup lookup, std::function<bool()> englishUI, QString programDir,
                  TRecordStore& store, Callbacks callbacks);

    void ASaveExecute();
    void AOpenExecute();
    // Opens a file named outside the program (on its command line, by the file manager): what
    // the open command does once a file is chosen, with Retry trying the same file again.
    void OpenFile(const QString& fileName);

private:
    enum class WriteResult { Written, CantCreate, CantWrite };

    QStringList Filters() const;
    FileDialogRequest Request(const QString& titleKey, const QString& fileName) const;
    MsgResult Warn(const QString& key);
    WriteResult Write(const QString& fileName) const;
    // Replaces the store by the file's records and fills the table; false (and the status
    // message) when the file cannot be opened.
    bool Load(const QString& fileName);
    MsgResult AskRetryOpen(const QString& fileName);
    void Status(const QString& text) const;

    IDialogs& dialogs_;
    LangLookup lookup_;
    std::function<bool()> englishUI_;
    QString programDir_;
    TRecordStore& store_;
    Callbacks callbacks_;
};

} // namespace lum1
