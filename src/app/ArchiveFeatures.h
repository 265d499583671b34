#pragma once
// Wires the measurement archive's window commands into the main window: the Archive menu (after
// the documented menus) with the archive window and the import of files, the import's progress
// and summary, and the records the archive window puts into the main table, loaded as an opened
// file is.

#include "archiveui/ArchiveImportJob.h"
#include "archiveui/ArchiveWindow.h"
#include "results/MeasRecord.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QStringList>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QTimer;

namespace lum1 {

class IDialogs;
class TForm1;

class TArchiveFeatures : public QObject {
    Q_OBJECT
public:
    TArchiveFeatures(TForm1& form, IDialogs& dialogs);
    ~TArchiveFeatures() override;

    // Menu and window texts in the interface language (after every language change).
    void MenuFill();

    // Opens the archive window (or brings it forward) and reads the archive anew.
    void AArchiveOpenExecute();
    // Asks for .lum1 files or a folder and imports them on a thread of its own.
    void AArchiveImportExecute();
    void Import(const QStringList& filesAndFolders);
    bool ImportRunning() const { return job_ != nullptr; }
    // The main window closes: a running import stops after the file under way.
    void Stop();
    // A read was archived: an open archive window shows it.
    void ArchiveChanged();

    // The records into the main table as an opened file would put them: the store replaced as a
    // whole under its lock, then the table filled. False (and a beep) when the store is busy.
    // lot: the archive lot the records are, whole (NoLot for other records): the lot acceptance
    // then acts on that lot.
    bool ShowInMainTable(const std::vector<TMeasRecord>& records, const QString& source, bool statistics,
                         qint64 lot = 0);

    TfrmArchive* Window() const { return window_; }
    QProgressDialog* Progress() const { return progress_; }
    // The last import's summary as it was shown.
    const QString& LastSummary() const { return lastSummary_; }

    QMenu* itmArchive;
    QAction *AArchiveOpen, *AArchiveImport;

private:
    QString Extra(const char* key) const;
    void PollImport();
    void FinishImport();

    TForm1& form_;
    IDialogs& dialogs_;
    QPointer<TfrmArchive> window_;
    std::unique_ptr<TArchiveImportJob> job_;
    QPointer<QProgressDialog> progress_;
    QTimer* poll_;
    QString lastSummary_;
};

} // namespace lum1
