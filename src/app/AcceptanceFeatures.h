#pragma once
// Wires the lot acceptance into the main window: a "Lot acceptance" submenu after the lot
// statistics' items, working on the table shown as the lot (its rows in the order the user sees
// them, keyed by their record numbers). It keeps the lot's correlation to cores, its limits and
// rule and its name, hands the correction to the lot views, and makes the acceptance report.

#include "acceptance/CorrectedValues.h"
#include "acceptance/LotCorrelation.h"
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
class TfrxReport;
class TForm1;
class TLotFeatures;

class TAcceptanceFeatures : public QObject {
    Q_OBJECT
public:
    TAcceptanceFeatures(TForm1& form, IDialogs& dialogs, TLotFeatures& lot);
    ~TAcceptanceFeatures() override;

    void MenuFill();

    void ShowCorrelation();
    void EditLimits();
    void EditHeader();
    void MakeReport();

    // The lot shown: the table's records in the order the user sees them.
    std::vector<TLotRecord> ShownLot() const;
    // The correlation's correction for the lot views, or why it does not hold for the lot shown.
    TLotCorrectionState CorrectionState() const;

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
    QString Extra(const QString& key) const;
    QString Extra(const char* key) const { return Extra(QString::fromLatin1(key)); }
    void Tell(const QString& text, MsgIcon icon);
    bool HasLot() const;

    TForm1& form_;
    IDialogs& dialogs_;
    TLotFeatures& lot_;
    std::optional<TLotCorrelation> correlation_;
    std::optional<TAcceptanceLimits> limits_; // none: as the settings give them
    QString lotName_;
    std::unique_ptr<TAcceptanceReport> report_;
};

} // namespace lum1
