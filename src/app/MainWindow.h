#pragma once
// The main window: toolbar, results grid, status bar, menus and the commands that wire the
// program's parts together.

#include "app/ColumnLayout.h"
#include "app/DeviceLink.h"
#include "app/HelpLauncher.h"
#include "app/Program.h"
#include "device/ExchangeWindow.h"
#include "platform/Dialogs.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <mutex>

class QAction;
class QMenu;
class QToolButton;
class QTranslator;

namespace lum1 {

class ResultsGrid;
class StatusStrip;
class TfrmStatus;
class TResultsTable;
class TResultsFiles;
class TMeasurementReport;
class TLotFeatures;
class TArchiveSession;
class TAcceptanceFeatures;
class TArchiveFeatures;
struct TScreenContext;

class TForm1 : public QMainWindow, private IExchangeWindow {
    Q_OBJECT
public:
    struct Hooks {
        // Ends the process with the given exit code (the application quits its event loop;
        // tests record the code).
        std::function<void(int)> endProcess;
        // Hands the manual or a link to the desktop's opener; calls back when it could not.
        THelpLauncher::OpenUrl openUrl;
        // Shows the first-start language dialog modally; it runs the chosen language command.
        // Returns false when it was closed without a choice.
        std::function<bool(TForm1&)> chooseLanguage;
        // The USB library to load (empty: the system's libusb-0.1 by its soname).
        QString usbLibraryName;
    };

    // Runs the creation sequence (FormCreate).
    TForm1(Program& program, IDialogs& dialogs, Hooks hooks);
    ~TForm1() override;

    // Creates the hidden message history window (after the main window, as at start-up).
    void CreateStatusWindow();
    TfrmStatus* frmStatus() const { return frmStatus_.get(); }

    bool StartMaximized() const { return startMaximized_; }
    QRect StartBounds() const { return startBounds_; }

    // --- commands ---
    void AOpenExecute();
    // A results file named on the command line (or by the file manager): loaded as by Open.
    void OpenFileAtStart(const QString& fileName);
    void ASaveExecute();
    void APrintExecute();
    void AExitExecute();
    void AReadExecute();
    void AScreenshotExecute();
    void ARdEEPROMExecute();
    void ACopyAllExecute();
    void ACopyCtrlCExecute();
    void ALangRusExecute();
    void ALangEngExecute();
    void AChmHelpExecute();
    void AAboutExecute();
    // F1 in a window: the manual of the current language at that window's section.
    void OpenHelpAt(const QString& section);

    // --- window parts ---
    void FormResize();
    void FormClose();
    void LoadSettings();
    void SaveSettings();
    void MenuFill();
    void TitleFill();
    void DataClear();
    void FillDataTable(int order);
    void PopupMenu1Popup();
    void StringGrid1MouseUp();
    void SetStatusBarGeneral(const QString& message);
    // A line of the message history that leaves the status line as it is (the archive's notes).
    void AddHistoryLine(const QString& message);
    // Safe from any thread; carried out on the window thread in call order.
    void PrintErrorToStatusBar(const QString& message) override;
    void sbStatusClick();

    // A text of the current language; when the language files cannot be written, the
    // built-in text (and the write error is reported once).
    QString Msg(const QString& key);

    Program& program() { return program_; }
    DeviceLink& Device() { return *device_; }
    TResultsTable& Table() { return *table_; }
    TMeasurementReport& Report() { return *report_; }
    TLotFeatures* LotFeatures() const { return lot_.get(); }
    TArchiveFeatures* ArchiveFeatures() const { return archiveUi_.get(); }
    // The window thread's measurement archive.
    TArchiveSession& ArchiveSession() { return *archive_; }
    TAcceptanceFeatures* AcceptanceFeatures() const { return acceptance_.get(); }
    // What the screen windows share; null until the first screen command.
    TScreenContext* ScreenContext() const { return screenContext_.get(); }
    ResultsGrid* StringGrid1;
    StatusStrip* StatusBar1;
    ColWidths StoredColWidth = DefaultColWidths;
    bool DebugMode = false;
    bool StartingUp = true;

    QAction *AOpen, *ASave, *APrint, *AExit, *ARead, *AScreenshot, *ARdEEPROM, *ACopyAll, *ACopyCtrlC,
        *ALangRus, *ALangEng, *AChmHelp, *AAbout, *ATune;
    QMenu *itmFile, *itmDevice, *itmEdit, *itmParam, *itmHelp, *itmLang, *PopupMenu1;
    QAction *itmPopUpCopyAll, *itmPopUpCopySelect, *N1;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void BuildActions();
    void BuildMenus();
    QWidget* BuildToolbar();
    void SelectLanguage(bool english);
    void NameTheControls();
    // parent: the window the failed write was made from (null: this one).
    void ReportWriteError(const std::exception& e, QWidget* parent = nullptr);
    bool FormKeyDown(QKeyEvent* e);
    void CopyVisualRows(int firstVisual, int lastVisual, bool withTitles);
    // The store for a command; empty (and a beep) while a device read fills the store or
    // another command holds it.
    TStoreHold LockStoreForCommand();
    // After a successful read: the records into the archive, its note into the history, and a
    // box for a new problem. The read and its table never depend on it.
    void ArchiveRead(const QString& paramText);

    // The exchange thread's window updates, run on the window thread.
    void SyncStatus(const TStatusMessage& message) override;
    void SyncProgressStart() override;
    void SyncProgress(int position) override;
    void SyncProgressHide() override;
    void SyncLink(TLinkColour colour) override;
    void SyncDataClear() override;
    void SyncFillTable() override;

    Program& program_;
    IDialogs& dialogs_;
    Hooks hooks_;
    std::unique_ptr<TResultsTable> table_;
    std::unique_ptr<TResultsFiles> files_;
    std::unique_ptr<TMeasurementReport> report_;
    std::unique_ptr<DeviceLink> device_;
    std::unique_ptr<TfrmStatus> frmStatus_;
    std::unique_ptr<TScreenContext> screenContext_;
    std::unique_ptr<QTranslator> qtTranslator_;
    std::unique_ptr<THelpLauncher> help_;
    std::unique_ptr<TArchiveSession> archive_;
    // The window's frame as the window manager reports it (none before the window is shown,
    // nor where no window manager draws one).
    QMargins FrameMargins() const;
    // Once the frame is known, the inside is sized so that the whole window has the stored size.
    void FitStoredWholeSize();

    bool startMaximized_ = false;
    QRect startBounds_;
    bool wholeSizeFitted_ = false;
    bool writeErrorShown_ = false;
    bool closing_ = false;
    QString applicationTitle_;
    std::unique_ptr<TLotFeatures> lot_; // last: it leaves the table before the table goes
    std::unique_ptr<TAcceptanceFeatures> acceptance_; // it leaves the lot features before they go
    // Goes before archive_: its window reads through it.
    std::unique_ptr<TArchiveFeatures> archiveUi_;
};

} // namespace lum1
