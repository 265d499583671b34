#pragma once
// The acceptance limits and rule of a lot: a minimum compaction factor (the lot statistics'
// minimum by default) with an optional maximum, or a density window; the rule: every point, the
// mean with a tolerance, or percent within limits with its threshold.

#include "acceptance/LotAcceptance.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QDialogButtonBox;

namespace lum1 {

class IDialogs;

class TAcceptanceLimitsDialog : public QDialog {
    Q_OBJECT
public:
    TAcceptanceLimitsDialog(const TAcceptanceLimits& limits, IDialogs& dialogs,
                            std::function<QString(const QString&)> extra, QWidget* parent = nullptr);

    // The limits as the controls give them now.
    TAcceptanceLimits Limits() const;
    void SetLimits(const TAcceptanceLimits& limits);
    // The lot's name, as the report's header prints it.
    QString LotName() const;
    void SetLotName(const QString& name);

    std::function<void()> help;
    QString caption; // of the message boxes

    QRadioButton* CompactionButton() const { return compaction_; }
    QRadioButton* DensityButton() const { return density_; }
    QDoubleSpinBox* LowerBox() const { return lower_; }
    QCheckBox* UpperCheck() const { return hasUpper_; }
    QDoubleSpinBox* UpperBox() const { return upper_; }
    QRadioButton* EveryButton() const { return every_; }
    QRadioButton* MeanButton() const { return mean_; }
    QRadioButton* PwlButton() const { return pwl_; }
    QDoubleSpinBox* ToleranceBox() const { return tolerance_; }
    QDoubleSpinBox* ThresholdBox() const { return threshold_; }
    QLineEdit* LotNameBox() const { return lotName_; }

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString Text(const char* key) const;
    void QuantityChanged();
    void UpdateEnabled();

    IDialogs& dialogs_;
    std::function<QString(const QString&)> extra_;
    // Each quantity keeps its own numbers while the user switches between them.
    TAcceptanceLimits compactionLimits_, densityLimits_;
    bool switching_ = false;
    QLineEdit* lotName_;
    QRadioButton *compaction_, *density_;
    QLabel *lowerLabel_, *upperLabel_;
    QDoubleSpinBox *lower_, *upper_;
    QCheckBox* hasUpper_;
    QRadioButton *every_, *mean_, *pwl_;
    QDoubleSpinBox *tolerance_, *threshold_;
    QDialogButtonBox* buttons_;
};

} // namespace lum1
