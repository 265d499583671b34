#include "lot/CorrelationWindow.h"

#include "acceptance/AcceptanceTexts.h"
#include "acceptance/CoresText.h"
#include "lot/CorrelationPlot.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <set>

namespace lum1 {

namespace {

enum Column { ColRecord, ColCore, ColGauge, ColOffsetResidual, ColLineResidual, ColNote, ColumnCount };

const QColor kOutlierColour(0xff, 0xc8, 0xc0);
const QColor kIssueColour(0xff, 0xec, 0xc8);

void Name(QWidget* w, const QString& text, const QString& hint) {
    QString plain = text;
    plain.remove(u'&');
    if (plain.endsWith(u':'))
        plain.chop(1);
    w->setAccessibleName(plain);
    w->setToolTip(hint.isEmpty() ? plain : hint);
}

QTableWidgetItem* ReadOnlyItem() {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

TCorrelationWindow::TCorrelationWindow(TCorrelationSetup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("CorrelationWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(1000, 640);

    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setObjectName(QStringLiteral("CorrelationPairs"));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setTabKeyNavigation(true);
    // A digit typed on a cell starts its edit, as in a spreadsheet.
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->installEventFilter(this);

    paste_ = new QPushButton(this);
    paste_->setObjectName(QStringLiteral("CorrelationPaste"));
    deleteRows_ = new QPushButton(this);
    deleteRows_->setObjectName(QStringLiteral("CorrelationDeleteRows"));
    clear_ = new QPushButton(this);
    clear_->setObjectName(QStringLiteral("CorrelationClear"));
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addWidget(paste_);
    tableButtons->addWidget(deleteRows_);
    tableButtons->addWidget(clear_);
    tableButtons->addStretch(1);
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(table_, 1);
    leftLayout->addLayout(tableButtons);

    plot_ = new TCorrelationPlot(this);
    plot_->setMinimumSize(380, 300);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(plot_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    // The two fits, the choice between them and the outliers' choice.
    offsetKind_ = new QRadioButton(this);
    offsetKind_->setObjectName(QStringLiteral("CorrelationOffsetKind"));
    lineKind_ = new QRadioButton(this);
    lineKind_->setObjectName(QStringLiteral("CorrelationLineKind"));
    auto* kinds = new QButtonGroup(this);
    kinds->addButton(offsetKind_);
    kinds->addButton(lineKind_);
    offsetKind_->setChecked(true);
    offsetLabel_ = new QLabel(this);
    offsetResult_ = new QLabel(this);
    offsetResult_->setObjectName(QStringLiteral("CorrelationOffsetResult"));
    offsetResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    offsetResult_->setWordWrap(true);
    lineLabel_ = new QLabel(this);
    lineResult_ = new QLabel(this);
    lineResult_->setObjectName(QStringLiteral("CorrelationLineResult"));
    lineResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lineResult_->setWordWrap(true);
    keepOutliers_ = new QCheckBox(this);
    keepOutliers_->setObjectName(QStringLiteral("CorrelationKeepOutliers"));
    nameLabel_ = new QLabel(this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("CorrelationName"));
    name_->setMaxLength(200);
    nameLabel_->setBuddy(name_);
    authorLabel_ = new QLabel(this);
    author_ = new QLineEdit(this);
    author_->setObjectName(QStringLiteral("CorrelationAuthor"));
    author_->setMaxLength(200);
    authorLabel_->setBuddy(author_);
    auto* fits = new QGridLayout;
    fits->addWidget(offsetKind_, 0, 0);
    fits->addWidget(offsetResult_, 0, 1);
    fits->addWidget(lineKind_, 1, 0);
    fits->addWidget(lineResult_, 1, 1);
    fits->addWidget(keepOutliers_, 2, 0, 1, 2);
    fits->addWidget(nameLabel_, 3, 0);
    fits->addWidget(name_, 3, 1);
    fits->addWidget(authorLabel_, 4, 0);
    fits->addWidget(author_, 4, 1);
    // An archive lot's mix: the new correlation kept for the mix, or one kept for it before.
    forMix_ = new QCheckBox(this);
    forMix_->setObjectName(QStringLiteral("CorrelationForMix"));
    fits->addWidget(forMix_, 5, 0, 1, 2);
    keptLabel_ = new QLabel(this);
    kept_ = new QComboBox(this);
    kept_->setObjectName(QStringLiteral("CorrelationKept"));
    kept_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    kept_->setMinimumContentsLength(30);
    keptLabel_->setBuddy(kept_);
    useKept_ = new QPushButton(this);
    useKept_->setObjectName(QStringLiteral("CorrelationUseKept"));
    auto* keptRow = new QHBoxLayout;
    keptRow->addWidget(kept_, 1);
    keptRow->addWidget(useKept_);
    fits->addWidget(keptLabel_, 6, 0);
    fits->addLayout(keptRow, 6, 1);
    fits->setColumnStretch(1, 1);
    offsetLabel_->hide(); // the radio buttons carry the fits' names
    lineLabel_->hide();

    issuesLabel_ = new QLabel(this);
    issues_ = new QListWidget(this);
    issues_->setObjectName(QStringLiteral("CorrelationIssues"));
    issues_->setWordWrap(true);
    issues_->setMinimumHeight(70);
    issuesLabel_->setBuddy(issues_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("CorrelationStatus"));
    status_->setWordWrap(true);
    auto* issuesBox = new QVBoxLayout;
    issuesBox->addWidget(issuesLabel_);
    issuesBox->addWidget(issues_, 1);
    issuesBox->addWidget(status_);

    auto* middle = new QHBoxLayout;
    middle->addLayout(fits, 1);
    middle->addLayout(issuesBox, 1);

    apply_ = new QPushButton(this);
    apply_->setObjectName(QStringLiteral("CorrelationApply"));
    // No default button: Enter in the pairs' table must never apply a fit.
    remove_ = new QPushButton(this);
    remove_->setObjectName(QStringLiteral("CorrelationRemove"));
    close_ = new QPushButton(this);
    close_->setObjectName(QStringLiteral("CorrelationClose"));
    for (QPushButton* b : {paste_, deleteRows_, clear_, apply_, remove_, close_, useKept_})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    buttons->addWidget(remove_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(middle);
    layout->addLayout(buttons);

    SetTexts();
    const QChar sep = setup_.Separator;
    const TTextLookup extra = [this](const QString& key) { return setup_.Extra ? setup_.Extra(key) : key; };
    for (const TLotCorrelation& c : setup_.MixCorrelations) {
        const TCorrection k = c.ForUse();
        kept_->addItem(k.Description.isEmpty() ? CorrectionText(k, extra, sep)
                                               : k.Description + QStringLiteral(": ") + CorrectionText(k, extra, sep),
                       c.Id);
    }
    forMix_->setVisible(!setup_.Mix.isEmpty());
    for (QWidget* w : std::initializer_list<QWidget*>{keptLabel_, kept_, useKept_})
        w->setVisible(!setup_.MixCorrelations.empty());
    // A mix's correlation made on another lot names that lot's records: its pairs are not shown
    // against this one (every pair would be "not in the lot"), it is chosen in the list instead.
    const bool otherLot = setup_.Current && setup_.Current->Scope == TCorrelationScope::Mix &&
                          !FitCorrelation(setup_.Lot, CorePairs(*setup_.Current), setup_.Current->Kind,
                                          setup_.Current->KeepOutliers)
                               .Ok();
    if (otherLot) {
        if (const int i = kept_->findData(setup_.Current->Id); i >= 0)
            kept_->setCurrentIndex(i);
        author_->setText(setup_.Author);
        forMix_->setChecked(true);
        SetPairs({});
    } else if (setup_.Current) {
        const TLotCorrelation& c = *setup_.Current;
        forMix_->setChecked(c.Scope == TCorrelationScope::Mix);
        SetPairs(CorePairs(c));
        (c.Kind == TCorrelationKind::Line ? lineKind_ : offsetKind_)->setChecked(true);
        keepOutliers_->setChecked(c.KeepOutliers);
        name_->setText(c.Name);
        author_->setText(c.Author);
    } else {
        author_->setText(setup_.Author);
        SetPairs({});
    }
    remove_->setEnabled(setup_.Current.has_value());

    connect(table_, &QTableWidget::cellChanged, this, [this] {
        if (!filling_)
            Refit();
    });
    connect(offsetKind_, &QRadioButton::toggled, this, [this] { Refit(); });
    connect(keepOutliers_, &QCheckBox::toggled, this, [this] { Refit(); });
    connect(paste_, &QPushButton::clicked, this, [this] { Paste(); });
    connect(deleteRows_, &QPushButton::clicked, this, [this] { DeleteRows(); });
    connect(clear_, &QPushButton::clicked, this, [this] { SetPairs({}); });
    connect(apply_, &QPushButton::clicked, this, [this] { ApplyFit(); });
    connect(remove_, &QPushButton::clicked, this, [this] {
        result_.reset();
        accept();
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(useKept_, &QPushButton::clicked, this, [this] { UseKept(); });
    table_->setFocus();
}

QString TCorrelationWindow::Text(const char* key) const {
    return setup_.Extra ? setup_.Extra(QString::fromLatin1(key)) : QString::fromLatin1(key);
}

TCorrelationWindow::~TCorrelationWindow() {
    // QDialog's destructor hides the window, and a cell still being edited then commits its text:
    // that change must not reach this window's members, which are gone by then.
    table_->disconnect(this);
}

void TCorrelationWindow::SetTexts() {
    const QString title = Text("CorrWindow");
    setWindowTitle(title);
    setAccessibleName(title);
    table_->setHorizontalHeaderLabels({Text("CorrRecordHead"), Text("CorrCoreHead"), Text("CorrGaugeHead"),
                                       Text("CorrOffsetResidualHead"), Text("CorrLineResidualHead"),
                                       Text("CorrNoteHead")});
    Name(table_, Text("CorrPairs"), Text("CorrPairsHint"));
    plot_->SetTexts([this](const QString& key) { return setup_.Extra ? setup_.Extra(key) : key; });
    struct {
        QAbstractButton* button;
        const char* text;
        const char* hint;
    } const buttons[] = {
        {paste_, "CorrPaste", "CorrPasteHint"},
        {deleteRows_, "CorrDeleteRows", "CorrDeleteRowsHint"},
        {clear_, "CorrClear", "CorrClearHint"},
        {offsetKind_, "CorrOffsetKind", "CorrOffsetKindHint"},
        {lineKind_, "CorrLineKind", "CorrLineKindHint"},
        {keepOutliers_, "CorrKeepOutliers", "CorrKeepOutliersHint"},
        {apply_, "CorrApply", "CorrApplyHint"},
        {remove_, "CorrRemove", "CorrRemoveHint"},
        {close_, "CorrClose", "CorrCloseHint"},
    };
    for (const auto& b : buttons) {
        b.button->setText(Text(b.text));
        Name(b.button, Text(b.text), Text(b.hint));
    }
    Name(offsetResult_, Text("CorrOffsetKind"), Text("CorrOffsetKindHint"));
    Name(lineResult_, Text("CorrLineKind"), Text("CorrLineKindHint"));
    nameLabel_->setText(Text("CorrName"));
    Name(name_, Text("CorrName"), Text("CorrNameHint"));
    Name(nameLabel_, Text("CorrName"), Text("CorrNameHint"));
    authorLabel_->setText(Text("CorrAuthor"));
    Name(author_, Text("CorrAuthor"), Text("CorrAuthorHint"));
    Name(authorLabel_, Text("CorrAuthor"), Text("CorrAuthorHint"));
    issuesLabel_->setText(Text("CorrIssues"));
    Name(issues_, Text("CorrIssues"), Text("CorrIssuesHint"));
    Name(issuesLabel_, Text("CorrIssues"), Text("CorrIssuesHint"));
    Name(status_, Text("CorrStatus"), {});
    forMix_->setText(Text("CorrForMix").arg(setup_.Mix));
    Name(forMix_, forMix_->text(), Text("CorrForMixHint"));
    keptLabel_->setText(Text("CorrKept"));
    Name(kept_, Text("CorrKept"), Text("CorrKeptHint"));
    Name(keptLabel_, Text("CorrKept"), Text("CorrKeptHint"));
    useKept_->setText(Text("CorrUseKept"));
    Name(useKept_, Text("CorrUseKept"), Text("CorrUseKeptHint"));
}

std::vector<TCorePair> TCorrelationWindow::Pairs() const {
    std::vector<TCorePair> pairs;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QTableWidgetItem* record = table_->item(row, ColRecord);
        const QTableWidgetItem* core = table_->item(row, ColCore);
        const QString key = record ? record->text().trimmed() : QString();
        const QString value = core ? core->text().trimmed() : QString();
        if (key.isEmpty() && value.isEmpty())
            continue;
        bool ok = false;
        const qint64 number = key.toLongLong(&ok);
        if (ok)
            pairs.push_back({number, ParseCoreDensity(value)});
    }
    return pairs;
}

void TCorrelationWindow::SetPairs(const std::vector<TCorePair>& pairs, const QStringList& coreTexts) {
    filling_ = true;
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(pairs.size()));
    for (size_t i = 0; i < pairs.size(); ++i) {
        const int row = static_cast<int>(i);
        table_->setItem(row, ColRecord, new QTableWidgetItem(QString::number(pairs[i].Key)));
        const QString core = static_cast<qsizetype>(i) < coreTexts.size()
                                 ? coreTexts[static_cast<qsizetype>(i)]
                             : std::isfinite(pairs[i].Core)
                                 ? QString::number(pairs[i].Core, 'g', 10).replace(u'.', setup_.Separator)
                                 : QString();
        table_->setItem(row, ColCore, new QTableWidgetItem(core));
    }
    filling_ = false;
    Refit();
}

bool TCorrelationWindow::PasteText(const QString& text) {
    int badLine = 0;
    QStringList coreTexts;
    const std::vector<TCorePair> pairs = ParseCoresText(text, &badLine, &coreTexts);
    if (badLine > 0 || pairs.empty()) {
        Tell(badLine > 0 ? Text("CorrPasteLine").arg(badLine) : Text("CorrPasteEmpty"));
        return false;
    }
    // From the current row on, over what is there, as a spreadsheet pastes.
    int row = table_->currentRow();
    if (row < 0)
        row = 0;
    filling_ = true;
    if (table_->rowCount() < row + static_cast<int>(pairs.size()))
        table_->setRowCount(row + static_cast<int>(pairs.size()));
    for (size_t i = 0; i < pairs.size(); ++i, ++row) {
        table_->setItem(row, ColRecord, new QTableWidgetItem(QString::number(pairs[i].Key)));
        table_->setItem(row, ColCore, new QTableWidgetItem(coreTexts.value(static_cast<qsizetype>(i))));
    }
    filling_ = false;
    Refit();
    table_->setCurrentCell(std::min(row, table_->rowCount() - 1), ColRecord);
    return true;
}

void TCorrelationWindow::Paste() {
    PasteText(QGuiApplication::clipboard()->text());
}

void TCorrelationWindow::DeleteRows() {
    std::set<int> rows;
    for (const QTableWidgetItem* item : table_->selectedItems())
        rows.insert(item->row());
    if (rows.empty() && table_->currentRow() >= 0)
        rows.insert(table_->currentRow());
    filling_ = true;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (*it < table_->rowCount() - 1) // the blank row for the next pair stays
            table_->removeRow(*it);
    filling_ = false;
    Refit();
}

void TCorrelationWindow::ClearCells() {
    filling_ = true;
    for (QTableWidgetItem* item : table_->selectedItems())
        if (item->column() == ColRecord || item->column() == ColCore)
            item->setText(QString());
    filling_ = false;
    Refit();
}

void TCorrelationWindow::EnsureBlankRow() {
    const int rows = table_->rowCount();
    auto blank = [this](int row) {
        for (int c : {ColRecord, ColCore}) {
            const QTableWidgetItem* item = table_->item(row, c);
            if (item && !item->text().trimmed().isEmpty())
                return false;
        }
        return true;
    };
    if (rows == 0 || !blank(rows - 1))
        table_->insertRow(rows);
}

TCorrelationKind TCorrelationWindow::Kind() const {
    return lineKind_->isChecked() ? TCorrelationKind::Line : TCorrelationKind::Offset;
}

const TCorrelationFit& TCorrelationWindow::Fit(TCorrelationKind kind) const {
    return kind == TCorrelationKind::Line ? lineFit_ : offsetFit_;
}

void TCorrelationWindow::Refit() {
    filling_ = true;
    EnsureBlankRow();
    // The rows as pairs, numbered in the table's row headers as the messages name them.
    rowErrors_.clear();
    pairRows_.clear();
    std::vector<TCorePair> pairs;
    QStringList headers;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QTableWidgetItem* record = table_->item(row, ColRecord);
        const QTableWidgetItem* core = table_->item(row, ColCore);
        const QString key = record ? record->text().trimmed() : QString();
        const QString value = core ? core->text().trimmed() : QString();
        QString header;
        if (!key.isEmpty() || !value.isEmpty()) {
            bool ok = false;
            const qint64 number = key.toLongLong(&ok);
            if (ok) {
                pairs.push_back({number, ParseCoreDensity(value)});
                pairRows_.push_back(row);
                header = QString::number(pairs.size());
            } else {
                rowErrors_ << Text("CorrBadRecord").arg(row + 1).arg(key);
                header = QStringLiteral("?");
            }
        }
        headers << header;
        for (int c = ColGauge; c < ColumnCount; ++c)
            if (!table_->item(row, c))
                table_->setItem(row, c, ReadOnlyItem());
        for (int c = 0; c < ColumnCount; ++c) {
            if (!table_->item(row, c))
                table_->setItem(row, c, new QTableWidgetItem);
            table_->item(row, c)->setBackground(QBrush());
            if (c >= ColGauge) {
                table_->item(row, c)->setText(QString());
                table_->item(row, c)->setToolTip(QString());
            }
        }
    }
    table_->setVerticalHeaderLabels(headers);

    const bool keep = keepOutliers_->isChecked();
    offsetFit_ = FitCorrelation(setup_.Lot, pairs, TCorrelationKind::Offset, keep);
    lineFit_ = FitCorrelation(setup_.Lot, pairs, TCorrelationKind::Line, keep);
    const TCorrelationFit& chosen = Fit(Kind());
    const QChar sep = setup_.Separator;
    const TTextLookup extra = [this](const QString& key) { return setup_.Extra ? setup_.Extra(key) : key; };

    // The residuals of both fits beside each usable pair; the chosen fit's outliers marked.
    auto rowOf = [this](int pair) {
        return pair >= 1 && pair <= static_cast<int>(pairRows_.size())
                   ? pairRows_[static_cast<size_t>(pair - 1)]
                   : -1;
    };
    for (size_t i = 0; i < offsetFit_.Pairs.size(); ++i) {
        const TFittedPair& p = offsetFit_.Pairs[i];
        const int row = rowOf(p.Pair);
        if (row < 0)
            continue;
        table_->item(row, ColGauge)->setText(DensityText(p.Gauge, sep));
        table_->item(row, ColOffsetResidual)->setText(SignedDensityText(p.OffsetResidual, sep));
        if (lineFit_.HasLine && i < lineFit_.Pairs.size())
            table_->item(row, ColLineResidual)
                ->setText(SignedDensityText(lineFit_.Pairs[i].LineResidual, sep));
    }
    QStringList shown = rowErrors_;
    for (const TAcceptanceIssue& issue : chosen.Issues) {
        const QString text = AcceptanceIssueText(issue, extra, sep);
        shown << text;
        const int row = rowOf(issue.Pair);
        if (row < 0)
            continue;
        const bool outlier =
            issue.Kind == TAcceptanceIssue::Outlier || issue.Kind == TAcceptanceIssue::OutlierKept;
        QTableWidgetItem* note = table_->item(row, ColNote);
        note->setText(outlier ? Text("CorrNoteOutlier") : text);
        note->setToolTip(text);
        for (int c = 0; c < ColumnCount; ++c)
            table_->item(row, c)->setBackground(outlier ? kOutlierColour : kIssueColour);
    }
    filling_ = false;

    issues_->clear();
    issues_->addItems(shown);
    const bool ok = rowErrors_.isEmpty() && chosen.Ok();
    status_->setText(ok ? Text("CorrStatusOk") : Text("CorrStatusBlocked"));
    apply_->setEnabled(ok);

    const auto usable = offsetFit_.Pairs.size();
    offsetResult_->setText(usable >= 2 ? CorrectionText(offsetFit_.Correction(), extra, sep)
                                       : QStringLiteral("—"));
    if (lineFit_.HasLine) {
        lineResult_->setText(CorrectionText(lineFit_.Correction(), extra, sep));
    } else {
        QString why;
        for (const TAcceptanceIssue& issue : lineFit_.Issues)
            if (issue.Kind == TAcceptanceIssue::TooFewForLine || issue.Kind == TAcceptanceIssue::EqualGauge ||
                issue.Kind == TAcceptanceIssue::TooFewPairs)
                why = AcceptanceIssueText(issue, extra, sep);
        lineResult_->setText(why.isEmpty() ? QStringLiteral("—") : why);
    }

    std::vector<TPlotPair> plotted;
    for (const TFittedPair& p : chosen.Pairs)
        plotted.push_back({p.Gauge, p.Core, p.Outlier});
    plot_->SetData(plotted, usable >= 2 ? std::optional<double>(offsetFit_.Offset) : std::nullopt,
                   lineFit_.HasLine ? std::optional(std::pair{lineFit_.Slope, lineFit_.Intercept})
                                    : std::nullopt);
}

QStringList TCorrelationWindow::ShownIssues() const {
    QStringList out;
    for (int i = 0; i < issues_->count(); ++i)
        out << issues_->item(i)->text();
    return out;
}

QString TCorrelationWindow::OffsetText() const {
    return offsetResult_->text();
}
QString TCorrelationWindow::LineText() const {
    return lineResult_->text();
}

void TCorrelationWindow::ApplyFit() {
    const TCorrelationFit& chosen = Fit(Kind());
    if (!rowErrors_.isEmpty() || !chosen.Ok())
        return;
    result_ = KeepCorrelation(chosen, name_->text(), author_->text(), setup_.Now(), setup_.Lot);
    if (!setup_.Mix.isEmpty() && forMix_->isChecked()) {
        result_->Scope = TCorrelationScope::Mix;
        result_->Mix = setup_.Mix;
    }
    accept();
}

void TCorrelationWindow::UseKept() {
    const qint64 id = kept_->currentData().toLongLong();
    for (const TLotCorrelation& c : setup_.MixCorrelations)
        if (c.Id == id) {
            result_ = c;
            accept();
            return;
        }
}

void TCorrelationWindow::Tell(const QString& text) {
    if (!setup_.Dialogs)
        return;
    MessageRequest message;
    message.caption = setup_.Caption;
    message.text = text;
    message.icon = MsgIcon::Warning;
    message.parent = this;
    setup_.Dialogs->Message(message);
}

// Ctrl+V and Delete in the pairs' table, as in a spreadsheet; F1 from anywhere in the window.
bool TCorrelationWindow::eventFilter(QObject* watched, QEvent* e) {
    // While a cell is edited its editor has the keys, so these reach the table only between edits.
    if (watched == table_ && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->matches(QKeySequence::Paste)) {
            Paste();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            ClearCells();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            DeleteRows();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TCorrelationWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        if (setup_.Help)
            setup_.Help();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace lum1
