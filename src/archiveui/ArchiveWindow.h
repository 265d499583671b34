#pragma once
// The archive window: every kept record in a table with the main table's cell texts, sortable
// by any column, filtered by days, object, material, gauge, lot and deleted records, with the
// counts of what is shown; the chosen records (or a lot) go into the main table as an opened
// file would. The Lot menu holds the lot commands and acts on the current lot.

#include "archive/ArchiveLots.h"
#include "archive/ArchiveMessages.h"
#include "archiveui/ArchiveModel.h"
#include "platform/Dialogs.h"
#include "results/MeasRecord.h"

#include <QMainWindow>

#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace lum1 {

// The lot acceptance's commands of the Lot menu, carried out by the program on the current lot.
enum class TLotAcceptanceCommand { Correlation, Limits, Header, Report };

// What the window needs of the program.
struct TArchiveWindowContext {
    TArchiveModel::ArchiveAccess Archive; // the window thread's archive
    ExtraTextLookup Extra;                // the new features' texts, interface language
    std::function<TRecordTextContext()> RecordTexts;
    std::function<TArchiveModel::Titles()> Titles; // the main table's column titles
    std::function<QString()> Caption;              // the application title, for message boxes
    IDialogs* Dialogs = nullptr;
    // The records into the main table, replacing what it shows; statistics: with the lot
    // statistics under it; lot: the archive lot they are, whole (NoLot for chosen records or a lot
    // cut to the table's size). False when the main table refused them (it is busy).
    std::function<bool(const std::vector<TMeasRecord>& records, const QString& source, bool statistics,
                       qint64 lot)>
        ShowInMainTable;
    // A lot acceptance command on a lot, its windows over `parent`.
    std::function<void(TLotAcceptanceCommand command, qint64 lot, QWidget* parent)> LotAcceptance;
    std::function<void()> Import; // the main window's import command
    std::function<void()> Help;   // F1: the manual at the archive's section
};

class TfrmArchive : public QMainWindow {
    Q_OBJECT
public:
    // At most this many records are put into a lot, or taken out, by one command.
    static constexpr int MaxLotChange = 200000;

    explicit TfrmArchive(TArchiveWindowContext context, QWidget* parent = nullptr);
    ~TfrmArchive() override;

    // Texts, tooltips and accessible names in the interface language; the cell texts too.
    void SetTexts();
    // The column titles anew (the main table's titles changed).
    void SetTitles();
    // An archive trouble in words, as the window tells it.
    QString ErrorText(const TArchiveError& error) const;
    // Counts, pages, lots and the filter's choices anew (the archive's content changed).
    // inBox false: a trouble is told in the window's lines only (a refresh that the user did not
    // ask for, which may come while other work runs).
    void Refresh(bool inBox = true);
    // The filter of the controls, applied at once.
    void ApplyFilter();
    void ResetFilter();

    // --- commands
    void ShowChosenInMainTable();
    void NewLot();
    void EditLot();
    void DeleteLot();
    void AssignChosenToLot();
    void ReleaseChosen();
    void ShowLotInMainTable(bool statistics);
    void FilterByCurrentLot();
    void LotAcceptance(TLotAcceptanceCommand command);

    // The current lot (the Lot menu acts on it); 0 when the archive has none.
    qint64 CurrentLotId() const;
    void SetCurrentLot(qint64 id);
    // Rows chosen in the table, as ranges in the table's order.
    std::vector<std::pair<int, int>> ChosenRanges() const;
    qint64 ChosenCount() const;
    QString CountsText() const;
    // The last message of the window's status bar.
    QString StatusText() const;

    TArchiveModel* Model;
    QTableView* Table;
    QMenu *itmArchive, *itmLot;
    QAction *AShowInTable, *ARefresh, *AImport, *AClose;
    QAction *ALotNew, *ALotEdit, *ALotDelete, *ALotAssign, *ALotRelease, *ALotShow, *ALotStatistics,
        *ALotFilter;
    // The lot acceptance of the current lot.
    QAction *ALotCorrelation, *ALotLimits, *ALotHeader, *ALotReport;
    QCheckBox *FromCheck, *ToCheck, *DeletedCheck;
    QDateEdit *FromDate, *ToDate;
    QComboBox *ObjectFilter, *MaterialFilter, *GaugeFilter, *LotFilter, *CurrentLot;
    QPushButton *ResetButton, *ShowButton, *CloseButton, *NewLotButton, *EditLotButton, *AssignButton,
        *StatisticsButton;
    QLabel *Counts, *LotDetails;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QString Extra(const char* key) const;
    QWidget* BuildFilterBar();
    QWidget* BuildLotBar();
    void BuildMenus();
    void FillChoices();
    void FillLots();
    void UpdateCounts();
    void UpdateCommands();
    void UpdateLotDetails();
    // The archive, or nullptr after the message.
    TArchive* OpenArchive();
    void Report(TArchiveError error);
    static TArchiveError NotOpenError();
    void Tell(const QString& text);
    void Warn(const QString& text);
    MsgResult Ask(const QString& text, MsgButtons buttons);
    // The chosen records: at most `limit` (asking first when there are more), nothing when the
    // user declined or the archive failed.
    std::optional<std::vector<TArchiveRow>> ChosenRows(int limit, bool askToCut);
    QString LotProblemText(const TLotResult& result, const QString& name) const;
    void ShowRecords(const std::vector<TArchiveRow>& rows, const QString& source, bool statistics,
                     qint64 lot = NoLot);

    TArchiveWindowContext context_;
    std::vector<TLot> lots_;
    QString lastError_;    // the last archive message shown in a box, not shown again at once
    bool filling_ = false; // the controls are being filled: their signals do not filter
    bool columnsSized_ = false;
    bool quiet_ = false; // troubles are not boxed (Refresh(false), a page that failed)
};

} // namespace lum1
