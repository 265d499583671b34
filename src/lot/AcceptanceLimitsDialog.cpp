#include "lot/AcceptanceLimitsDialog.h"

#include "acceptance/AcceptanceTexts.h"
#include "platform/Dialogs.h"
#include "platform/FormatFloat.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lum1 {

namespace {

void Name(QWidget* w, const QString& text, const QString& hint) {
    QString plain = text;
    plain.remove(u'&');
    if (plain.endsWith(u':'))
        plain.chop(1);
    w->setAccessibleName(plain);
    w->setToolTip(hint.isEmpty() ? plain : hint);
}

QDoubleSpinBox* Spin(QWidget* parent, const char* name) {
    auto* s = new QDoubleSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setKeyboardTracking(false);
    return s;
}

// The numbers of a quantity: the compaction factor to three decimals, densities to one.
void Scale(QDoubleSpinBox* s, TAcceptanceQuantity q, bool tolerance) {
    const bool c = q == TAcceptanceQuantity::Compaction;
    s->setDecimals(c ? 3 : 1);
    s->setRange(0.0, c ? (tolerance ? 1.0 : 2.0) : 10000.0);
    s->setSingleStep(c ? 0.005 : 10.0);
}

} // namespace

TAcceptanceLimitsDialog::TAcceptanceLimitsDialog(const TAcceptanceLimits& limits, IDialogs& dialogs,
                                                 std::function<QString(const QString&)> extra,
                                                 QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), extra_(std::move(extra)) {
    setObjectName(QStringLiteral("AcceptanceLimitsDialog"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lotName_ = new QLineEdit(this);
    lotName_->setObjectName(QStringLiteral("LimitsLotName"));
    lotName_->setMaxLength(300);
    auto* lotLabel = new QLabel(Text("LimLotName"), this);
    lotLabel->setBuddy(lotName_);
    auto* lotRow = new QFormLayout;
    lotRow->addRow(lotLabel, lotName_);
    Name(lotName_, Text("LimLotName"), Text("LimLotNameHint"));
    Name(lotLabel, Text("LimLotName"), Text("LimLotNameHint"));

    auto* quantityBox = new QGroupBox(Text("LimQuantity"), this);
    compaction_ = new QRadioButton(Text("LimCompaction"), quantityBox);
    compaction_->setObjectName(QStringLiteral("LimitsCompaction"));
    density_ = new QRadioButton(Text("LimDensity"), quantityBox);
    density_->setObjectName(QStringLiteral("LimitsDensity"));
    auto* quantities = new QButtonGroup(this);
    quantities->addButton(compaction_);
    quantities->addButton(density_);
    auto* ql = new QVBoxLayout(quantityBox);
    ql->addWidget(compaction_);
    ql->addWidget(density_);

    auto* limitsBox = new QGroupBox(Text("LimLimits"), this);
    lowerLabel_ = new QLabel(limitsBox);
    lower_ = Spin(limitsBox, "LimitsLower");
    lowerLabel_->setBuddy(lower_);
    hasUpper_ = new QCheckBox(Text("LimUpper"), limitsBox);
    hasUpper_->setObjectName(QStringLiteral("LimitsHasUpper"));
    upper_ = Spin(limitsBox, "LimitsUpper");
    upperLabel_ = new QLabel(limitsBox);
    auto* ll = new QFormLayout(limitsBox);
    ll->addRow(lowerLabel_, lower_);
    ll->addRow(hasUpper_, upper_);

    auto* ruleBox = new QGroupBox(Text("LimRule"), this);
    every_ = new QRadioButton(Text("LimEvery"), ruleBox);
    every_->setObjectName(QStringLiteral("LimitsEvery"));
    mean_ = new QRadioButton(Text("LimMean"), ruleBox);
    mean_->setObjectName(QStringLiteral("LimitsMean"));
    pwl_ = new QRadioButton(Text("LimPwl"), ruleBox);
    pwl_->setObjectName(QStringLiteral("LimitsPwl"));
    auto* rules = new QButtonGroup(this);
    rules->addButton(every_);
    rules->addButton(mean_);
    rules->addButton(pwl_);
    tolerance_ = Spin(ruleBox, "LimitsTolerance");
    threshold_ = Spin(ruleBox, "LimitsThreshold");
    threshold_->setDecimals(1);
    threshold_->setRange(0.0, 100.0);
    threshold_->setSingleStep(1.0);
    threshold_->setSuffix(QStringLiteral(" %"));
    auto* rl = new QFormLayout(ruleBox);
    rl->addRow(every_);
    rl->addRow(mean_, tolerance_);
    rl->addRow(pwl_, threshold_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(Text("LimOk"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Text("LimCancel"));
    buttons_->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("LimitsOk"));
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("LimitsCancel"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &TAcceptanceLimitsDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lotRow);
    layout->addWidget(quantityBox);
    layout->addWidget(limitsBox);
    layout->addWidget(ruleBox);
    layout->addWidget(buttons_);

    const QString title = Text("LimWindow");
    setWindowTitle(title);
    setAccessibleName(title);
    Name(quantityBox, Text("LimQuantity"), {});
    Name(compaction_, Text("LimCompaction"), Text("LimCompactionHint"));
    Name(density_, Text("LimDensity"), Text("LimDensityHint"));
    Name(limitsBox, Text("LimLimits"), {});
    Name(hasUpper_, Text("LimUpper"), Text("LimUpperHint"));
    Name(upper_, Text("LimUpper"), Text("LimUpperHint"));
    Name(ruleBox, Text("LimRule"), {});
    Name(every_, Text("LimEvery"), Text("LimEveryHint"));
    Name(mean_, Text("LimMean"), Text("LimMeanHint"));
    Name(tolerance_, Text("LimTolerance"), Text("LimMeanHint"));
    Name(pwl_, Text("LimPwl"), Text("LimPwlHint"));
    Name(threshold_, Text("LimThreshold"), Text("LimPwlHint"));
    Name(buttons_->button(QDialogButtonBox::Ok), Text("LimOk"), Text("LimOkHint"));
    Name(buttons_->button(QDialogButtonBox::Cancel), Text("LimCancel"), Text("LimCancelHint"));

    // The other quantity starts from its own defaults: the statistics' minimum for the
    // compaction factor, no window for the density.
    compactionLimits_.Lower =
        limits.Quantity == TAcceptanceQuantity::Compaction ? limits.Lower : DefaultMinCompaction;
    densityLimits_.Quantity = TAcceptanceQuantity::Density;
    densityLimits_.Lower = 0;
    SetLimits(limits);

    connect(compaction_, &QRadioButton::toggled, this, [this] { QuantityChanged(); });
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{hasUpper_, every_, mean_, pwl_})
        connect(b, &QAbstractButton::toggled, this, [this] { UpdateEnabled(); });
}

QString TAcceptanceLimitsDialog::Text(const char* key) const {
    return extra_ ? extra_(QString::fromLatin1(key)) : QString::fromLatin1(key);
}

void TAcceptanceLimitsDialog::SetLimits(const TAcceptanceLimits& limits) {
    switching_ = true;
    const bool c = limits.Quantity == TAcceptanceQuantity::Compaction;
    (c ? compaction_ : density_)->setChecked(true);
    (c ? compactionLimits_ : densityLimits_) = limits;
    for (QDoubleSpinBox* s : {lower_, upper_})
        Scale(s, limits.Quantity, false);
    Scale(tolerance_, limits.Quantity, true);
    lower_->setValue(limits.Lower);
    hasUpper_->setChecked(limits.Upper.has_value());
    upper_->setValue(limits.Upper.value_or(limits.Lower));
    (limits.Rule == TAcceptanceRule::Pwl                ? pwl_
     : limits.Rule == TAcceptanceRule::MeanAndTolerance ? mean_
                                                        : every_)
        ->setChecked(true);
    tolerance_->setValue(limits.Tolerance);
    threshold_->setValue(limits.PwlThreshold);
    const QString lower = Text(c ? "LimLowerCompaction" : "LimLowerDensity");
    lowerLabel_->setText(lower);
    Name(lower_, lower, Text(c ? "LimLowerCompactionHint" : "LimLowerDensityHint"));
    Name(lowerLabel_, lower, Text(c ? "LimLowerCompactionHint" : "LimLowerDensityHint"));
    switching_ = false;
    UpdateEnabled();
}

TAcceptanceLimits TAcceptanceLimitsDialog::Limits() const {
    TAcceptanceLimits l;
    l.Quantity = density_->isChecked() ? TAcceptanceQuantity::Density : TAcceptanceQuantity::Compaction;
    l.Lower = lower_->value();
    if (hasUpper_->isChecked())
        l.Upper = upper_->value();
    l.Rule = pwl_->isChecked()    ? TAcceptanceRule::Pwl
             : mean_->isChecked() ? TAcceptanceRule::MeanAndTolerance
                                  : TAcceptanceRule::EveryPoint;
    l.Tolerance = tolerance_->value();
    l.PwlThreshold = threshold_->value();
    return l;
}

QString TAcceptanceLimitsDialog::LotName() const {
    return lotName_->text();
}

void TAcceptanceLimitsDialog::SetLotName(const QString& name) {
    lotName_->setText(name);
}

void TAcceptanceLimitsDialog::QuantityChanged() {
    if (switching_)
        return;
    // The numbers of the quantity left are kept for a return to it; the rule stays.
    TAcceptanceLimits now = Limits();
    const bool toDensity = density_->isChecked();
    TAcceptanceLimits& left = toDensity ? compactionLimits_ : densityLimits_;
    left = now;
    left.Quantity = toDensity ? TAcceptanceQuantity::Compaction : TAcceptanceQuantity::Density;
    TAcceptanceLimits next = toDensity ? densityLimits_ : compactionLimits_;
    next.Rule = now.Rule;
    next.PwlThreshold = now.PwlThreshold;
    SetLimits(next);
}

void TAcceptanceLimitsDialog::UpdateEnabled() {
    upper_->setEnabled(hasUpper_->isChecked());
    tolerance_->setEnabled(mean_->isChecked());
    threshold_->setEnabled(pwl_->isChecked());
}

void TAcceptanceLimitsDialog::accept() {
    const TAcceptanceLimits l = Limits();
    if (!l.Valid()) {
        MessageRequest message;
        message.caption = caption;
        message.text = Text("LimMaxBelowMin")
                           .arg(QuantityValueText(l.Quantity, l.Upper.value_or(0), SystemDecimalSeparator()),
                                QuantityValueText(l.Quantity, l.Lower, SystemDecimalSeparator()));
        message.icon = MsgIcon::Warning;
        message.parent = this;
        dialogs_.Message(message);
        upper_->setFocus();
        return;
    }
    QDialog::accept();
}

void TAcceptanceLimitsDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        if (help)
            help();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace lum1
