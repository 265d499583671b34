#include "archiveui/ArchiveWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace lum1 {

namespace {

void Describe(QWidget* w, const QString& tip) {
    w->setToolTip(tip);
    w->setAccessibleName(tip);
}

// A combo box whose text a filter must contain; the archive's names to choose from.
QComboBox* TextChoice(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // A filter's text is a part of names: completing it to the first name would narrow it.
    box->setCompleter(nullptr);
    box->setMinimumContentsLength(12);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

void FillNames(QComboBox* box, const QStringList& names) {
    const QString text = box->currentText();
    box->clear();
    box->addItem(QString());
    box->addItems(names);
    box->setCurrentText(text);
}

} // namespace

TfrmArchive::TfrmArchive(TArchiveWindowContext context, QWidget* parent)
    : QMainWindow(parent, Qt::Window), context_(std::move(context)) {
    setObjectName(QStringLiteral("frmArchive"));
    Model = new TArchiveModel(context_.Archive, this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildFilterBar());
    layout->addWidget(BuildLotBar());

    Table = new QTableView(central);
    Table->setObjectName(QStringLiteral("ArchiveTable"));
    Table->setModel(Model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setAlternatingRowColors(true);
    Table->setWordWrap(false);
    Table->setTabKeyNavigation(false);
    // A million rows of one height: no row is ever measured.
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 4);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Table->horizontalHeader()->setSortIndicator(
        Model->Sort().Column, Model->Sort().Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    Table->setSortingEnabled(true);
    Table->installEventFilter(this);
    layout->addWidget(Table, 1);

    auto* bottom = new QHBoxLayout;
    Counts = new QLabel(central);
    Counts->setObjectName(QStringLiteral("ArchiveCounts"));
    Counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ShowButton = new QPushButton(central);
    ShowButton->setObjectName(QStringLiteral("ArchiveShowButton"));
    CloseButton = new QPushButton(central);
    CloseButton->setObjectName(QStringLiteral("ArchiveCloseButton"));
    bottom->addWidget(Counts, 1);
    bottom->addWidget(ShowButton);
    bottom->addWidget(CloseButton);
    layout->addLayout(bottom);
    setCentralWidget(central);
    statusBar()->setSizeGripEnabled(true);

    BuildMenus();
    connect(ShowButton, &QPushButton::clicked, this, [this] { ShowChosenInMainTable(); });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(Table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        UpdateCounts();
        UpdateCommands();
    });
    connect(Model, &QAbstractItemModel::modelReset, this, [this] {
        UpdateCounts();
        UpdateCommands();
    });
    // A page that cannot be read is told once the view has finished painting.
    connect(
        Model, &TArchiveModel::fetchFailed, this,
        [this] {
            const TArchiveError error = Model->LastError();
            Model->Clear();
            // Not in a box: the paint that asked for the page may have come inside other work.
            const bool wasQuiet = quiet_;
            quiet_ = true;
            Report(error);
            quiet_ = wasQuiet;
        },
        Qt::QueuedConnection);

    resize(1100, 650);
    SetTexts();
}

TfrmArchive::~TfrmArchive() = default;

QString TfrmArchive::Extra(const char* key) const {
    return context_.Extra ? context_.Extra(QString::fromLatin1(key)) : QString();
}

// ---------------------------------------------------------------- building

QWidget* TfrmArchive::BuildFilterBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ArchiveFilterBar"));
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    const QDate today = QDate::currentDate();
    auto date = [bar](const char* name, const QDate& value) {
        auto* edit = new QDateEdit(value, bar);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
        return edit;
    };
    FromCheck = new QCheckBox(bar);
    FromCheck->setObjectName(QStringLiteral("ArchiveFromCheck"));
    FromDate = date("ArchiveFromDate", today.addMonths(-1));
    ToCheck = new QCheckBox(bar);
    ToCheck->setObjectName(QStringLiteral("ArchiveToCheck"));
    ToDate = date("ArchiveToDate", today);
    ObjectFilter = TextChoice(bar, "ArchiveObjectFilter");
    MaterialFilter = TextChoice(bar, "ArchiveMaterialFilter");
    GaugeFilter = TextChoice(bar, "ArchiveGaugeFilter");
    LotFilter = new QComboBox(bar);
    LotFilter->setObjectName(QStringLiteral("ArchiveLotFilter"));
    LotFilter->setMinimumContentsLength(12);
    LotFilter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DeletedCheck = new QCheckBox(bar);
    DeletedCheck->setObjectName(QStringLiteral("ArchiveDeletedCheck"));
    DeletedCheck->setChecked(true);
    ResetButton = new QPushButton(bar);
    ResetButton->setObjectName(QStringLiteral("ArchiveResetButton"));

    // Labels for the text choices are their own widgets so that their texts follow the language.
    auto label = [bar](const char* name, QWidget* buddy) {
        auto* l = new QLabel(bar);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(FromCheck, 0, 0);
    grid->addWidget(FromDate, 0, 1);
    grid->addWidget(ToCheck, 1, 0);
    grid->addWidget(ToDate, 1, 1);
    grid->addWidget(label("ArchiveObjectLabel", ObjectFilter), 0, 2);
    grid->addWidget(ObjectFilter, 0, 3);
    grid->addWidget(label("ArchiveMaterialLabel", MaterialFilter), 1, 2);
    grid->addWidget(MaterialFilter, 1, 3);
    grid->addWidget(label("ArchiveGaugeLabel", GaugeFilter), 0, 4);
    grid->addWidget(GaugeFilter, 0, 5);
    grid->addWidget(label("ArchiveLotLabel", LotFilter), 1, 4);
    grid->addWidget(LotFilter, 1, 5);
    grid->addWidget(DeletedCheck, 0, 6);
    grid->addWidget(ResetButton, 1, 6);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);

    auto apply = [this] {
        if (!filling_)
            ApplyFilter();
    };
    connect(FromCheck, &QCheckBox::toggled, this, [this, apply](bool on) {
        FromDate->setEnabled(on);
        apply();
    });
    connect(ToCheck, &QCheckBox::toggled, this, [this, apply](bool on) {
        ToDate->setEnabled(on);
        apply();
    });
    connect(FromDate, &QDateEdit::dateChanged, this, [this, apply] {
        if (FromCheck->isChecked())
            apply();
    });
    connect(ToDate, &QDateEdit::dateChanged, this, [this, apply] {
        if (ToCheck->isChecked())
            apply();
    });
    // A text applies when it is chosen from the list or confirmed with Enter, not at every key.
    for (QComboBox* box : {ObjectFilter, MaterialFilter, GaugeFilter}) {
        connect(box, &QComboBox::activated, this, apply);
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, apply);
    }
    connect(LotFilter, &QComboBox::activated, this, apply);
    connect(DeletedCheck, &QCheckBox::toggled, this, apply);
    connect(ResetButton, &QPushButton::clicked, this, [this] { ResetFilter(); });
    return bar;
}

QWidget* TfrmArchive::BuildLotBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ArchiveLotBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("ArchiveCurrentLotLabel"));
    CurrentLot = new QComboBox(bar);
    CurrentLot->setObjectName(QStringLiteral("ArchiveCurrentLot"));
    CurrentLot->setMinimumContentsLength(16);
    CurrentLot->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(CurrentLot);
    auto button = [bar](const char* name) {
        auto* b = new QPushButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    NewLotButton = button("ArchiveNewLotButton");
    EditLotButton = button("ArchiveEditLotButton");
    AssignButton = button("ArchiveAssignButton");
    StatisticsButton = button("ArchiveStatisticsButton");
    LotDetails = new QLabel(bar);
    LotDetails->setObjectName(QStringLiteral("ArchiveLotDetails"));
    LotDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(label);
    row->addWidget(CurrentLot);
    row->addWidget(NewLotButton);
    row->addWidget(EditLotButton);
    row->addWidget(AssignButton);
    row->addWidget(StatisticsButton);
    row->addWidget(LotDetails, 1);
    connect(CurrentLot, &QComboBox::currentIndexChanged, this, [this] {
        Model->SetMarkedLot(CurrentLotId());
        UpdateLotDetails();
        UpdateCommands();
    });
    connect(NewLotButton, &QPushButton::clicked, this, [this] { NewLot(); });
    connect(EditLotButton, &QPushButton::clicked, this, [this] { EditLot(); });
    connect(AssignButton, &QPushButton::clicked, this, [this] { AssignChosenToLot(); });
    connect(StatisticsButton, &QPushButton::clicked, this, [this] { ShowLotInMainTable(true); });
    return bar;
}

void TfrmArchive::BuildMenus() {
    auto make = [this](const char* name, const std::function<void()>& run) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    AShowInTable = make("AShowInTable", [this] { ShowChosenInMainTable(); });
    // Asked for by the user: a trouble already told is told again.
    ARefresh = make("ARefresh", [this] {
        lastError_.clear();
        Refresh();
    });
    ARefresh->setShortcut(QKeySequence(Qt::Key_F5));
    AImport = make("AArchiveImport", [this] {
        if (context_.Import)
            context_.Import();
    });
    AClose = make("AArchiveClose", [this] { close(); });
    ALotNew = make("ALotNew", [this] { NewLot(); });
    ALotEdit = make("ALotEdit", [this] { EditLot(); });
    ALotDelete = make("ALotDelete", [this] { DeleteLot(); });
    ALotAssign = make("ALotAssign", [this] { AssignChosenToLot(); });
    ALotRelease = make("ALotRelease", [this] { ReleaseChosen(); });
    ALotShow = make("ALotShow", [this] { ShowLotInMainTable(false); });
    ALotStatistics = make("ALotStatistics", [this] { ShowLotInMainTable(true); });
    ALotFilter = make("ALotFilter", [this] { FilterByCurrentLot(); });
    ALotCorrelation = make("ALotCorrelation", [this] { LotAcceptance(TLotAcceptanceCommand::Correlation); });
    ALotLimits = make("ALotLimits", [this] { LotAcceptance(TLotAcceptanceCommand::Limits); });
    ALotHeader = make("ALotHeader", [this] { LotAcceptance(TLotAcceptanceCommand::Header); });
    ALotReport = make("ALotReport", [this] { LotAcceptance(TLotAcceptanceCommand::Report); });

    itmArchive = menuBar()->addMenu(QString());
    itmArchive->setObjectName(QStringLiteral("itmArchiveWindow"));
    itmArchive->addAction(AShowInTable);
    itmArchive->addAction(ARefresh);
    itmArchive->addSeparator();
    itmArchive->addAction(AImport);
    itmArchive->addSeparator();
    itmArchive->addAction(AClose);

    // More lot commands (the acceptance of a lot) go after these.
    itmLot = menuBar()->addMenu(QString());
    itmLot->setObjectName(QStringLiteral("itmLot"));
    itmLot->addAction(ALotNew);
    itmLot->addAction(ALotEdit);
    itmLot->addAction(ALotDelete);
    itmLot->addSeparator();
    itmLot->addAction(ALotAssign);
    itmLot->addAction(ALotRelease);
    itmLot->addSeparator();
    itmLot->addAction(ALotFilter);
    itmLot->addAction(ALotShow);
    itmLot->addAction(ALotStatistics);
    itmLot->addSeparator();
    itmLot->addAction(ALotCorrelation);
    itmLot->addAction(ALotLimits);
    itmLot->addAction(ALotHeader);
    itmLot->addAction(ALotReport);
    for (QMenu* menu : {itmArchive, itmLot})
        menu->setToolTipsVisible(true);
}

// ---------------------------------------------------------------- texts

void TfrmArchive::SetTexts() {
    setWindowTitle(Extra("ArchiveWindowTitle"));
    itmArchive->setTitle(Extra("ArchiveWindowMenu"));
    itmLot->setTitle(Extra("ArchiveLotMenu"));
    const struct {
        QAction* action;
        const char* text;
        const char* hint;
    } actions[] = {
        {AShowInTable, "ArchiveShow", "ArchiveShowHint"},
        {ARefresh, "ArchiveRefresh", "ArchiveRefreshHint"},
        {AImport, "ArchiveImport", "ArchiveImportHint"},
        {AClose, "ArchiveClose", "ArchiveCloseHint"},
        {ALotNew, "ArchiveLotNew", "ArchiveLotNewHint"},
        {ALotEdit, "ArchiveLotEdit", "ArchiveLotEditHint"},
        {ALotDelete, "ArchiveLotDelete", "ArchiveLotDeleteHint"},
        {ALotAssign, "ArchiveLotAssign", "ArchiveLotAssignHint"},
        {ALotRelease, "ArchiveLotRelease", "ArchiveLotReleaseHint"},
        {ALotFilter, "ArchiveLotFilterThis", "ArchiveLotFilterThisHint"},
        {ALotShow, "ArchiveLotShow", "ArchiveLotShowHint"},
        {ALotStatistics, "ArchiveLotStatistics", "ArchiveLotStatisticsHint"},
        {ALotCorrelation, "CorrMenu", "ArchiveLotCorrHint"},
        {ALotLimits, "LimMenu", "ArchiveLotLimitsHint"},
        {ALotHeader, "HdrMenu", "HdrMenuHint"},
        {ALotReport, "AccReportMenu", "ArchiveLotReportHint"},
    };
    for (const auto& a : actions) {
        a.action->setText(Extra(a.text));
        a.action->setToolTip(Extra(a.hint));
        a.action->setStatusTip(Extra(a.hint));
    }
    const struct {
        QPushButton* button;
        const char* text;
        const char* hint;
    } buttons[] = {
        {ShowButton, "ArchiveShow", "ArchiveShowHint"},
        {CloseButton, "ArchiveClose", "ArchiveCloseHint"},
        {ResetButton, "ArchiveResetFilter", "ArchiveResetFilterHint"},
        {NewLotButton, "ArchiveLotNew", "ArchiveLotNewHint"},
        {EditLotButton, "ArchiveLotEdit", "ArchiveLotEditHint"},
        {AssignButton, "ArchiveLotAssign", "ArchiveLotAssignHint"},
        {StatisticsButton, "ArchiveLotStatistics", "ArchiveLotStatisticsHint"},
    };
    for (const auto& b : buttons) {
        b.button->setText(Extra(b.text));
        Describe(b.button, Extra(b.hint));
    }
    FromCheck->setText(Extra("ArchiveFrom"));
    Describe(FromCheck, Extra("ArchiveFromHint"));
    Describe(FromDate, Extra("ArchiveFromDateHint"));
    ToCheck->setText(Extra("ArchiveTo"));
    Describe(ToCheck, Extra("ArchiveToHint"));
    Describe(ToDate, Extra("ArchiveToDateHint"));
    const TRecordTextContext recordTexts =
        context_.RecordTexts ? context_.RecordTexts() : TRecordTextContext{};
    // Days as the interface language writes them, never a month first that could read as a day.
    const bool english = recordTexts.EnglishUI;
    for (QDateEdit* edit : {FromDate, ToDate})
        edit->setDisplayFormat(english ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("dd.MM.yyyy"));
    DeletedCheck->setText(Extra("ArchiveDeleted"));
    Describe(DeletedCheck, Extra("ArchiveDeletedHint"));
    const struct {
        QComboBox* box;
        const char* label;
        const char* text;
        const char* hint;
    } choices[] = {
        {ObjectFilter, "ArchiveObjectLabel", "ArchiveObject", "ArchiveObjectHint"},
        {MaterialFilter, "ArchiveMaterialLabel", "ArchiveMaterial", "ArchiveMaterialHint"},
        {GaugeFilter, "ArchiveGaugeLabel", "ArchiveGauge", "ArchiveGaugeHint"},
        {LotFilter, "ArchiveLotLabel", "ArchiveLotFilter", "ArchiveLotFilterHint"},
        {CurrentLot, "ArchiveCurrentLotLabel", "ArchiveCurrentLot", "ArchiveCurrentLotHint"},
    };
    for (const auto& c : choices) {
        findChild<QLabel*>(QString::fromLatin1(c.label))->setText(Extra(c.text));
        Describe(c.box, Extra(c.hint));
        if (c.box->lineEdit())
            Describe(c.box->lineEdit(), Extra(c.hint));
    }
    Describe(Table, Extra("ArchiveTableHint"));
    Describe(Table->viewport(), Extra("ArchiveTableHint"));
    Describe(Counts, Extra("ArchiveCountsHint"));
    Describe(LotDetails, Extra("ArchiveLotDetailsHint"));
    Describe(statusBar(), Extra("ArchiveStatusHint"));

    TArchiveModel::Titles titles;
    if (context_.Titles)
        titles = context_.Titles();
    Model->SetTexts(recordTexts, titles);
    QHash<qint64, QString> names;
    for (const TLot& lot : lots_)
        names.insert(lot.Id, lot.Name);
    Model->SetLotNames(names, Extra("ArchiveLotTip"));
    // The two fixed entries of the lot filter follow the language; the lots keep their names.
    filling_ = true;
    if (LotFilter->count() >= 2) {
        LotFilter->setItemText(0, Extra("ArchiveAllLots"));
        LotFilter->setItemText(1, Extra("ArchiveNoLot"));
    }
    filling_ = false;
    UpdateCounts();
    UpdateLotDetails();
}

void TfrmArchive::SetTitles() {
    if (context_.Titles)
        Model->SetTitles(context_.Titles());
}

// ---------------------------------------------------------------- archive and messages

TArchive* TfrmArchive::OpenArchive() {
    TArchiveError error;
    TArchive* archive = context_.Archive ? context_.Archive(&error) : nullptr;
    if (error || !archive)
        Report(error ? error : NotOpenError());
    return archive;
}

TArchiveError TfrmArchive::NotOpenError() {
    TArchiveError e;
    e.Kind = TArchiveErrorKind::NotOpen;
    return e;
}

QString TfrmArchive::ErrorText(const TArchiveError& error) const {
    return ArchiveQueryErrorText(error, context_.Extra);
}

void TfrmArchive::Report(TArchiveError error) {
    if (!error)
        return;
    // A file found damaged in the middle of the work is set aside, as at its opening, and a new
    // archive starts in its place; the message names where the old one went.
    if (error.Kind == TArchiveErrorKind::Damaged && error.SetAsidePath.isEmpty() && context_.Archive) {
        if (TArchive* archive = context_.Archive(nullptr); archive && archive->IsOpen()) {
            const TArchiveError aside = archive->SetAsideDamaged();
            if (aside)
                error = aside;
        }
    }
    const QString text = ErrorText(error);
    statusBar()->showMessage(text);
    UpdateCounts();
    // The same trouble at every page or command would bury the window in boxes.
    if (quiet_ || text == lastError_)
        return;
    lastError_ = text;
    Warn(text);
}

void TfrmArchive::Tell(const QString& text) {
    statusBar()->showMessage(text);
}

void TfrmArchive::Warn(const QString& text) {
    statusBar()->showMessage(text);
    if (context_.Dialogs)
        context_.Dialogs->Message({context_.Caption ? context_.Caption() : windowTitle(), text,
                                   MsgIcon::Warning, MsgButtons::Ok, 0});
}

MsgResult TfrmArchive::Ask(const QString& text, MsgButtons buttons) {
    if (!context_.Dialogs)
        return MsgResult::Cancel;
    return context_.Dialogs->Message(
        {context_.Caption ? context_.Caption() : windowTitle(), text, MsgIcon::Question, buttons, 0});
}

QString TfrmArchive::StatusText() const {
    return statusBar()->currentMessage();
}

// ---------------------------------------------------------------- refresh and filter

void TfrmArchive::Refresh(bool inBox) {
    const bool wasQuiet = quiet_;
    quiet_ = quiet_ || !inBox;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (OpenArchive()) {
        FillChoices();
        FillLots();
    }
    ApplyFilter();
    QApplication::restoreOverrideCursor();
    quiet_ = wasQuiet;
}

void TfrmArchive::FillChoices() {
    TArchive* archive = context_.Archive ? context_.Archive(nullptr) : nullptr;
    if (!archive)
        return;
    filling_ = true;
    FillNames(ObjectFilter, ObjectNames(*archive));
    FillNames(MaterialFilter, MaterialNames(*archive));
    FillNames(GaugeFilter, GaugeTexts(*archive));
    filling_ = false;
}

void TfrmArchive::FillLots() {
    TArchive* archive = context_.Archive ? context_.Archive(nullptr) : nullptr;
    lots_ = archive ? Lots(*archive) : std::vector<TLot>{};
    const qint64 current = CurrentLotId();
    const qint64 filtered = LotFilter->count() ? LotFilter->currentData().toLongLong() : AnyLot;
    filling_ = true;
    CurrentLot->clear();
    LotFilter->clear();
    LotFilter->addItem(Extra("ArchiveAllLots"), AnyLot);
    LotFilter->addItem(Extra("ArchiveNoLot"), NoLot);
    QHash<qint64, QString> names;
    for (const TLot& lot : lots_) {
        CurrentLot->addItem(lot.Name, lot.Id);
        LotFilter->addItem(lot.Name, lot.Id);
        names.insert(lot.Id, lot.Name);
    }
    if (lots_.empty())
        CurrentLot->addItem(Extra("ArchiveLotNone"), 0);
    if (const int i = CurrentLot->findData(current); i >= 0)
        CurrentLot->setCurrentIndex(i);
    // A lot that is gone no longer filters.
    LotFilter->setCurrentIndex(std::max(0, LotFilter->findData(filtered)));
    filling_ = false;
    Model->SetLotNames(names, Extra("ArchiveLotTip"));
    UpdateLotDetails();
    UpdateCommands();
}

void TfrmArchive::ApplyFilter() {
    TArchiveFilter filter;
    if (FromCheck->isChecked())
        filter.From = FromDate->date();
    if (ToCheck->isChecked())
        filter.To = ToDate->date();
    filter.Object = ObjectFilter->currentText().trimmed();
    filter.Material = MaterialFilter->currentText().trimmed();
    filter.Gauge = GaugeFilter->currentText().trimmed();
    filter.Lot = LotFilter->count() ? LotFilter->currentData().toLongLong() : AnyLot;
    filter.ShowDeleted = DeletedCheck->isChecked();
    Model->SetFilter(filter);
    const TArchiveError error = Model->Refresh();
    if (error)
        Report(error);
    else
        lastError_.clear();
    if (Model->rowCount() > 0 && !Table->currentIndex().isValid())
        Table->setCurrentIndex(Model->index(0, 0));
    // The columns take the widths of the first rows' texts once; after that they are the user's.
    if (!columnsSized_ && Model->rowCount() > 0) {
        columnsSized_ = true;
        Table->horizontalHeader()->setResizeContentsPrecision(TArchiveModel::PageSize);
        Table->resizeColumnsToContents();
    }
}

void TfrmArchive::ResetFilter() {
    filling_ = true;
    FromCheck->setChecked(false);
    ToCheck->setChecked(false);
    ObjectFilter->setCurrentText(QString());
    MaterialFilter->setCurrentText(QString());
    GaugeFilter->setCurrentText(QString());
    if (LotFilter->count())
        LotFilter->setCurrentIndex(0);
    DeletedCheck->setChecked(true);
    filling_ = false;
    ApplyFilter();
}

void TfrmArchive::FilterByCurrentLot() {
    const qint64 lot = CurrentLotId();
    if (lot == 0)
        return;
    LotFilter->setCurrentIndex(std::max(0, LotFilter->findData(lot)));
    ApplyFilter();
}

// ---------------------------------------------------------------- state shown

std::vector<std::pair<int, int>> TfrmArchive::ChosenRanges() const {
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& r : Table->selectionModel()->selection())
        ranges.emplace_back(r.top(), r.bottom());
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    return merged;
}

qint64 TfrmArchive::ChosenCount() const {
    qint64 n = 0;
    for (const auto& [first, last] : ChosenRanges())
        n += last - first + 1;
    return n;
}

QString TfrmArchive::CountsText() const {
    return Counts->text();
}

void TfrmArchive::UpdateCounts() {
    const TArchiveCounts& c = Model->Counts();
    if (Model->rowCount() == 0 && Model->LastError() &&
        Model->LastError().Kind != TArchiveErrorKind::Damaged) {
        Counts->setText(ErrorText(Model->LastError()));
        return;
    }
    Counts->setText(
        Extra("ArchiveCounts").arg(c.Shown).arg(c.Total).arg(c.Deleted).arg(Table ? ChosenCount() : 0));
}

void TfrmArchive::UpdateCommands() {
    const bool lot = CurrentLotId() != 0;
    const bool chosen = Table && Table->selectionModel() && Table->selectionModel()->hasSelection();
    for (QAction* a : {ALotEdit, ALotDelete, ALotShow, ALotStatistics, ALotFilter, ALotCorrelation, ALotLimits,
                       ALotReport})
        a->setEnabled(lot);
    ALotAssign->setEnabled(lot && chosen);
    ALotRelease->setEnabled(chosen);
    AShowInTable->setEnabled(chosen);
    EditLotButton->setEnabled(lot);
    StatisticsButton->setEnabled(lot);
    AssignButton->setEnabled(lot && chosen);
    ShowButton->setEnabled(chosen);
}

void TfrmArchive::UpdateLotDetails() {
    const qint64 id = CurrentLotId();
    const auto it = std::find_if(lots_.begin(), lots_.end(), [id](const TLot& l) { return l.Id == id; });
    if (it == lots_.end()) {
        LotDetails->clear();
        return;
    }
    LotDetails->setText(Extra("ArchiveLotDetails").arg(it->Object, it->Material, it->Layer).arg(it->Records));
    LotDetails->setToolTip(it->Notes.isEmpty() ? Extra("ArchiveLotDetailsHint") : it->Notes);
}

qint64 TfrmArchive::CurrentLotId() const {
    return CurrentLot->count() ? CurrentLot->currentData().toLongLong() : 0;
}

void TfrmArchive::SetCurrentLot(qint64 id) {
    if (const int i = CurrentLot->findData(id); i >= 0)
        CurrentLot->setCurrentIndex(i);
}

// ---------------------------------------------------------------- the main table

std::optional<std::vector<TArchiveRow>> TfrmArchive::ChosenRows(int limit, bool askToCut) {
    std::vector<std::pair<int, int>> ranges = ChosenRanges();
    const qint64 chosen = ChosenCount();
    if (chosen == 0) {
        Tell(Extra("ArchiveNothingChosen"));
        return std::nullopt;
    }
    if (chosen > limit) {
        if (!askToCut) {
            Warn(Extra("ArchiveLotTooMany").arg(chosen).arg(limit));
            return std::nullopt;
        }
        if (Ask(Extra("ArchiveTooMany").arg(chosen).arg(limit), MsgButtons::OkCancel) != MsgResult::Ok)
            return std::nullopt;
        // The first ones in the table's order.
        qint64 left = limit;
        std::vector<std::pair<int, int>> cut;
        for (const auto& [first, last] : ranges) {
            if (left <= 0)
                break;
            const int n = static_cast<int>(std::min<qint64>(left, last - first + 1));
            cut.emplace_back(first, first + n - 1);
            left -= n;
        }
        ranges = cut;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<std::vector<TArchiveRow>> rows = Model->Rows(ranges);
    QApplication::restoreOverrideCursor();
    if (!rows)
        Report(Model->LastError());
    return rows;
}

void TfrmArchive::ShowRecords(const std::vector<TArchiveRow>& rows, const QString& source, bool statistics,
                              qint64 lot) {
    std::vector<TMeasRecord> records;
    records.reserve(rows.size());
    for (const TArchiveRow& row : rows)
        records.push_back(row.Record);
    if (!context_.ShowInMainTable || !context_.ShowInMainTable(records, source, statistics, lot)) {
        Warn(Extra("ArchiveStoreBusy"));
        return;
    }
    Tell(Extra("ArchiveShownStatus").arg(records.size()).arg(source));
}

void TfrmArchive::ShowChosenInMainTable() {
    if (const auto rows = ChosenRows(MaxRecords, true))
        ShowRecords(*rows, Extra("ArchiveSourceChosen"), false);
}

void TfrmArchive::ShowLotInMainTable(bool statistics) {
    const qint64 id = CurrentLotId();
    TArchive* archive = id ? OpenArchive() : nullptr;
    if (!archive)
        return;
    std::vector<TArchiveRow> rows = LotRecords(*archive, id);
    if (archive->LastError()) {
        Report(archive->LastError());
        return;
    }
    const QString name = CurrentLot->currentText();
    if (rows.empty()) {
        Tell(Extra("ArchiveLotEmpty").arg(name));
        return;
    }
    // A lot cut to the table's size is no longer the lot: the table is then judged as a table.
    qint64 whole = id;
    if (rows.size() > static_cast<size_t>(MaxRecords)) {
        if (Ask(Extra("ArchiveTooMany").arg(rows.size()).arg(MaxRecords), MsgButtons::OkCancel) !=
            MsgResult::Ok)
            return;
        rows.resize(MaxRecords);
        whole = NoLot;
    }
    ShowRecords(rows, Extra("ArchiveSourceLot").arg(name), statistics, whole);
}

void TfrmArchive::LotAcceptance(TLotAcceptanceCommand command) {
    const qint64 id = CurrentLotId();
    // The header is the report's, not the lot's: it needs no lot.
    if ((id == 0 && command != TLotAcceptanceCommand::Header) || !context_.LotAcceptance)
        return;
    context_.LotAcceptance(command, id, this);
    // A correlation or limits kept may have changed what the lot's details say.
    if (command != TLotAcceptanceCommand::Header)
        UpdateLotDetails();
}

// ---------------------------------------------------------------- keyboard and close

void TfrmArchive::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        if (context_.Help)
            context_.Help();
        return;
    }
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

bool TfrmArchive::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Enter on the chosen rows puts them into the main table.
        if (watched == Table && enter && key->modifiers() == Qt::NoModifier) {
            ShowChosenInMainTable();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace lum1
