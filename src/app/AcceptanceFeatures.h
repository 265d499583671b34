#pragma once
// Wires the lot acceptance into the program. Two kinds of lot:
// - an archive lot, from the archive window's Lot menu: its records from the archive, its
//   correlation and limits kept there;
// - the table shown, from the "Lot acceptance" submenu after the lot statistics' items: its rows
//   in the order the user sees them, keyed by their record numbers, its correlation, limits and
//   name in the window's memory. When the table shows an archive lot whole (the archive window's
//   "Lot into the main table"), the submenu acts on that archive lot instead.
// It hands the correction to the lot views and makes the acceptance report.

#include "acceptance/CorrectedValues.h"
#include "acceptance/LotCorrelation.h"
#include "archiveui/ArchiveWindow.h"
#include "lot/AcceptanceSettings.h"
#include "platform/Dialogs.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QDialog;
class QMenu;

namespace lum1 {

class IDialogs;
class TAcceptanceReport;
class TArchive;
class TfrxReport;
class TForm1;
class TLotFeatures;

class TAcceptanceFeatures : public QObject {
    Q_OBJECT
public:
    TAcceptanceFeatures(TForm1& form, IDialogs& dialogs, TLotFeatures& lot);
    ~TAcceptanceFeatures() override;

    void MenuFill();

    // The submenu's commands: on the archive lot the table shows, else on the table.
    void ShowCorrelation();
    void EditLimits();
    void EditHeader();
    void MakeReport();

    // The archive window's commands on an archive lot, their windows over `parent`.
    void ArchiveLotCommand(TLotAcceptanceCommand command, qint64 lot, QWidget* parent);

    // The main table now shows these records of an archive lot, the whole lot (NoLot: records
    // that are no lot). While the table still holds exactly them, it is that lot.
    void SetArchiveLotShown(qint64 lot, const std::vector<TMeasRecord>& records);
    // The archive lot the table shows, or 0.
    qint64 ShownArchiveLot() const;

    // The lot shown: the table's records in the order the user sees them.
    std::vector<TLotRecord> ShownLot() const;
    // The correlation's correction for the lot views, or why it does not hold for the lot shown.
    TLotCorrectionState CorrectionState() const;

    // The table's own correlation, limits and name (not an archive lot's).
    const std::optional<TLotCorrelation>& Correlation() const { return correlation_; }
    void SetCorrelation(std::optional<TLotCorrelation> correlation);
    TAcceptanceLimits Limits() const;
    QString LotName() const { return lotName_; }

    // Runs a dialog modally (tests drive it and return a result instead).
    std::function<int(QDialog&)> execDialog;
    // Shows the prepared acceptance report (the preview unless a test replaces it).
    std::function<void(TfrxReport&)> showReport;
    TAcceptanceReport* LastReport() const { return report_.get(); }

    QMenu* itmAcceptance;
    QAction *ACorrelation, *AAcceptanceLimits, *AReportHeader, *AAcceptanceReport;

private:
    // A lot as the commands see it.
    struct TAcceptanceLot {
        std::vector<TLotRecord> Records;
        qint64 ArchiveLot = 0; // 0: the table shown
        QString Name, Object, Material, Layer;
        std::optional<TLotCorrelation> Correlation;
        TAcceptanceLimits Limits;
    };

    QString Extra(const QString& key) const;
    QString Extra(const char* key) const { return Extra(QString::fromLatin1(key)); }
    void Tell(const QString& text, MsgIcon icon, QWidget* parent = nullptr);
    void Refuse(const QStringList& reasons, QWidget* parent);
    bool HasLot() const;
    // The limits a lot without its own starts with: the last ones given, else the lot
    // statistics' minimum.
    TAcceptanceLimits DefaultLimits() const;
    std::optional<TAcceptanceLot> TableLot();
    // The archive lot as kept now; nothing (after a message over parent) when it cannot be read.
    std::optional<TAcceptanceLot> ArchiveLot(qint64 lot, QWidget* parent);
    // The window thread's archive, or nothing after a message.
    TArchive* OpenArchive(QWidget* parent);
    void ArchiveTrouble(TArchive& archive, QWidget* parent);

    void Correlate(const TAcceptanceLot& lot, QWidget* parent);
    void SetLimits(const TAcceptanceLot& lot, QWidget* parent);
    void Header(QWidget* parent);
    void Report(const TAcceptanceLot& lot, QWidget* parent);
    // An archive lot's correlation changed: the table showing it follows.
    void ArchiveCorrelationChanged(qint64 lot, std::optional<TLotCorrelation> correlation);

    TForm1& form_;
    IDialogs& dialogs_;
    TLotFeatures& lot_;
    std::optional<TLotCorrelation> correlation_;
    std::optional<TAcceptanceLimits> limits_; // none: as the settings give them
    QString lotName_;
    std::unique_ptr<TAcceptanceReport> report_;
    // The archive lot put into the main table, as it was put there, and its correlation.
    qint64 shownLot_ = 0;
    std::vector<TMeasRecord> shownRecords_;
    std::optional<TLotCorrelation> shownCorrelation_;
};

} // namespace lum1
