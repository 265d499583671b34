#include "app/AcceptanceFeatures.h"

#include "acceptance/AcceptanceTexts.h"
#include "archive/ArchiveAcceptance.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveSession.h"
#include "app/HelpTopics.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "lang/ExtraTexts.h"
#include "lot/AcceptanceLimitsDialog.h"
#include "lot/CorrelationWindow.h"
#include "lot/ReportHeaderDialog.h"
#include "platform/FormatFloat.h"
#include "platform/IniFile.h"
#include "report/AcceptanceReport.h"
#include "report/ReportLogo.h"
#include "results/ResultsTable.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>
#include <cstring>

namespace lum1 {

TAcceptanceFeatures::TAcceptanceFeatures(TForm1& form, IDialogs& dialogs, TLotFeatures& lot)
    : form_(form), dialogs_(dialogs), lot_(lot) {
    execDialog = [](QDialog& d) { return d.exec(); };
    showReport = [](TfrxReport& report) { report.ShowPreparedReport(); };

    // After the lot statistics' items, the last of the Parameters menu.
    itmAcceptance = new QMenu(form_.itmParam);
    itmAcceptance->setObjectName(QStringLiteral("itmAcceptance"));
    form_.itmParam->addMenu(itmAcceptance);
    auto make = [this](const char* name, void (TAcceptanceFeatures::*handler)()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    ACorrelation = make("ACorrelation", &TAcceptanceFeatures::ShowCorrelation);
    AAcceptanceLimits = make("AAcceptanceLimits", &TAcceptanceFeatures::EditLimits);
    AReportHeader = make("AReportHeader", &TAcceptanceFeatures::EditHeader);
    AAcceptanceReport = make("AAcceptanceReport", &TAcceptanceFeatures::MakeReport);
    itmAcceptance->addAction(ACorrelation);
    itmAcceptance->addAction(AAcceptanceLimits);
    itmAcceptance->addAction(AReportHeader);
    itmAcceptance->addSeparator();
    itmAcceptance->addAction(AAcceptanceReport);
    itmAcceptance->setToolTipsVisible(true);

    lot_.correction = [this] { return CorrectionState(); };
    MenuFill();
}

TAcceptanceFeatures::~TAcceptanceFeatures() {
    lot_.correction = nullptr;
}

QString TAcceptanceFeatures::Extra(const QString& key) const {
    return GetExtraMessage(form_.program().Language, key);
}

void TAcceptanceFeatures::MenuFill() {
    struct {
        QAction* action;
        const char* text;
        const char* hint;
    } const items[] = {
        {ACorrelation, "CorrMenu", "CorrMenuHint"},
        {AAcceptanceLimits, "LimMenu", "LimMenuHint"},
        {AReportHeader, "HdrMenu", "HdrMenuHint"},
        {AAcceptanceReport, "AccReportMenu", "AccReportMenuHint"},
    };
    for (const auto& i : items) {
        i.action->setText(Extra(i.text));
        i.action->setToolTip(Extra(i.hint));
    }
    itmAcceptance->setTitle(Extra("AccMenu"));
    itmAcceptance->menuAction()->setToolTip(Extra("AccMenuHint"));
    itmAcceptance->setAccessibleName(Extra("AccMenu"));
}

bool TAcceptanceFeatures::HasLot() const {
    return form_.program().Store.RecordCount.load() > 0 && form_.Table().ShowsRecords();
}

std::vector<TLotRecord> TAcceptanceFeatures::ShownLot() const {
    std::vector<TLotRecord> lot;
    if (!HasLot())
        return lot;
    const TRecordStore& store = form_.program().Store;
    const int count = std::clamp(store.RecordCount.load(), 0, MaxRecords);
    for (int row : form_.StringGrid1->VisualRowOrder()) {
        if (row < 0 || row >= count)
            continue;
        const TMeasRecord& r =
            store.Records[static_cast<size_t>(store.DisplayOrder[static_cast<size_t>(row)])];
        lot.push_back({r.Number, r});
    }
    return lot;
}

void TAcceptanceFeatures::SetArchiveLotShown(qint64 lot, const std::vector<TMeasRecord>& records) {
    shownLot_ = lot;
    shownRecords_ = lot != 0 ? records : std::vector<TMeasRecord>{};
    shownCorrelation_.reset();
    if (lot != 0) {
        // Read once here, not at every recount of the panel; a trouble is told by the commands.
        TArchiveError error;
        if (TArchive* archive = form_.ArchiveSession().Archive(&error))
            shownCorrelation_ = LotCorrelationOf(*archive, lot);
    }
    lot_.Recompute();
}

qint64 TAcceptanceFeatures::ShownArchiveLot() const {
    if (shownLot_ == 0 || !HasLot())
        return 0;
    // The table is the lot while it holds exactly the records put there: a read, a file opened or
    // other records from the archive replace them.
    const TRecordStore& store = form_.program().Store;
    const int count = store.RecordCount.load();
    if (count != static_cast<int>(shownRecords_.size()))
        return 0;
    for (int i = 0; i < count; ++i)
        if (std::memcmp(&store.Records[static_cast<size_t>(i)], &shownRecords_[static_cast<size_t>(i)],
                        RecordSize) != 0)
            return 0;
    return shownLot_;
}

TLotCorrectionState TAcceptanceFeatures::CorrectionState() const {
    TLotCorrectionState state;
    const std::optional<TLotCorrelation>& correlation = ShownArchiveLot() ? shownCorrelation_ : correlation_;
    if (!correlation)
        return state;
    const QChar sep = SystemDecimalSeparator();
    const TTextLookup extra = [this](const QString& key) { return Extra(key); };
    const std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(ShownLot(), *correlation);
    if (!issues.empty()) {
        QString first = AcceptanceIssueText(issues.front(), extra, sep);
        if (issues.size() > 1)
            first += QStringLiteral(" ") + Extra("CorrMoreIssues").arg(issues.size() - 1);
        state.Text = Extra("CorrNotApplied").arg(first);
        return state;
    }
    state.Correction = correlation->ForUse();
    const QString description = state.Correction->Description;
    const QString text = CorrectionText(*state.Correction, extra, sep);
    state.Text = description.isEmpty() ? text : description + QStringLiteral(": ") + text;
    return state;
}

void TAcceptanceFeatures::SetCorrelation(std::optional<TLotCorrelation> correlation) {
    correlation_ = std::move(correlation);
    lot_.Recompute();
}

TAcceptanceLimits TAcceptanceFeatures::DefaultLimits() const {
    const TIniFile* ini = form_.program().SettingsIni.get();
    if (!ini)
        return TAcceptanceLimits{};
    const double minimum = ParseMinCompaction(ini->ReadString(QStringLiteral("LotStatistics"),
                                                              QStringLiteral("MinCompaction"), {}))
                               .value_or(DefaultMinCompaction);
    return ReadAcceptanceLimits(*ini, minimum);
}

TAcceptanceLimits TAcceptanceFeatures::Limits() const {
    return limits_ ? *limits_ : DefaultLimits();
}

void TAcceptanceFeatures::Tell(const QString& text, MsgIcon icon, QWidget* parent) {
    MessageRequest message;
    message.caption = form_.windowTitle();
    message.text = text;
    message.icon = icon;
    message.parent = parent;
    dialogs_.Message(message);
}

void TAcceptanceFeatures::Refuse(const QStringList& reasons, QWidget* parent) {
    Tell(Extra("AccCliRefused") + QStringLiteral("\n") + reasons.join(u'\n'), MsgIcon::Warning, parent);
}

// ---------------------------------------------------------------- the lots

std::optional<TAcceptanceFeatures::TAcceptanceLot> TAcceptanceFeatures::TableLot() {
    if (!HasLot()) {
        Tell(Extra("AccLotEmpty"), MsgIcon::Information);
        return std::nullopt;
    }
    TAcceptanceLot lot;
    lot.Records = ShownLot();
    lot.Name = lotName_;
    lot.Correlation = correlation_;
    lot.Limits = Limits();
    return lot;
}

TArchive* TAcceptanceFeatures::OpenArchive(QWidget* parent) {
    TArchiveError error;
    TArchive* archive = form_.ArchiveSession().Archive(&error);
    if (!archive || !archive->IsOpen()) {
        if (!error)
            error.Kind = TArchiveErrorKind::NotOpen;
        Tell(ArchiveQueryErrorText(error, [this](const QString& key) { return Extra(key); }), MsgIcon::Warning,
             parent);
        return nullptr;
    }
    return archive;
}

void TAcceptanceFeatures::ArchiveTrouble(TArchive& archive, QWidget* parent) {
    Tell(ArchiveQueryErrorText(archive.LastError(), [this](const QString& key) { return Extra(key); }),
         MsgIcon::Warning, parent);
}

std::optional<TAcceptanceFeatures::TAcceptanceLot> TAcceptanceFeatures::ArchiveLot(qint64 id, QWidget* parent) {
    TArchive* archive = OpenArchive(parent);
    if (!archive)
        return std::nullopt;
    const std::optional<::lum1::TLot> found = FindLot(*archive, id);
    if (!found) {
        if (archive->LastError())
            ArchiveTrouble(*archive, parent);
        else
            Tell(Extra("ArchiveLotNotFound"), MsgIcon::Warning, parent);
        return std::nullopt;
    }
    TAcceptanceLot lot;
    lot.ArchiveLot = id;
    lot.Name = found->Name;
    lot.Object = found->Object;
    lot.Material = found->Material;
    lot.Layer = found->Layer;
    lot.Records = AcceptanceLotRecords(*archive, id);
    if (!archive->LastError())
        lot.Correlation = LotCorrelationOf(*archive, id);
    std::optional<TAcceptanceLimits> own;
    if (!archive->LastError())
        own = LotLimits(*archive, id);
    if (archive->LastError()) {
        ArchiveTrouble(*archive, parent);
        return std::nullopt;
    }
    lot.Limits = own ? *own : DefaultLimits();
    // The report is made for what the main table holds: a larger lot is not cut in silence.
    if (lot.Records.size() > static_cast<size_t>(MaxRecords)) {
        Tell(Extra("AccLotTooMany").arg(lot.Name).arg(lot.Records.size()).arg(MaxRecords), MsgIcon::Warning,
             parent);
        return std::nullopt;
    }
    if (lot.Records.empty()) {
        Tell(Extra("ArchiveLotEmpty").arg(lot.Name), MsgIcon::Information, parent);
        return std::nullopt;
    }
    return lot;
}

void TAcceptanceFeatures::ArchiveCorrelationChanged(qint64 lot, std::optional<TLotCorrelation> correlation) {
    if (lot != shownLot_)
        return;
    shownCorrelation_ = std::move(correlation);
    lot_.Recompute();
}

// ---------------------------------------------------------------- commands

void TAcceptanceFeatures::ShowCorrelation() {
    const qint64 archiveLot = ShownArchiveLot();
    const std::optional<TAcceptanceLot> lot = archiveLot ? ArchiveLot(archiveLot, &form_) : TableLot();
    if (lot)
        Correlate(*lot, &form_);
}

void TAcceptanceFeatures::EditLimits() {
    if (const qint64 archiveLot = ShownArchiveLot()) {
        if (const std::optional<TAcceptanceLot> lot = ArchiveLot(archiveLot, &form_))
            SetLimits(*lot, &form_);
        return;
    }
    // The table's limits need no record: they are set before a read as well.
    TAcceptanceLot lot;
    lot.Name = lotName_;
    lot.Limits = Limits();
    SetLimits(lot, &form_);
}

void TAcceptanceFeatures::EditHeader() {
    Header(&form_);
}

void TAcceptanceFeatures::MakeReport() {
    const qint64 archiveLot = ShownArchiveLot();
    const std::optional<TAcceptanceLot> lot = archiveLot ? ArchiveLot(archiveLot, &form_) : TableLot();
    if (lot)
        Report(*lot, &form_);
}

void TAcceptanceFeatures::ArchiveLotCommand(TLotAcceptanceCommand command, qint64 id, QWidget* parent) {
    if (command == TLotAcceptanceCommand::Header) {
        Header(parent);
        return;
    }
    const std::optional<TAcceptanceLot> lot = ArchiveLot(id, parent);
    if (!lot)
        return;
    switch (command) {
    case TLotAcceptanceCommand::Correlation:
        Correlate(*lot, parent);
        break;
    case TLotAcceptanceCommand::Limits:
        SetLimits(*lot, parent);
        break;
    case TLotAcceptanceCommand::Report:
        Report(*lot, parent);
        break;
    case TLotAcceptanceCommand::Header:
        break;
    }
}

namespace {

// The mix an archive lot's correlation may be kept for: the lot's own, else the one material
// all its records name.
QString MixOf(const QString& material, const std::vector<TLotRecord>& records) {
    if (!material.trimmed().isEmpty())
        return material.trimmed();
    QString mix;
    for (const TLotRecord& r : records) {
        const QString m = FieldToText(r.Record.MaterialName, sizeof r.Record.MaterialName).trimmed();
        if (m.isEmpty() || (!mix.isEmpty() && m != mix))
            return {};
        mix = m;
    }
    return mix;
}

// The same fit as one kept already: applying it again keeps no second copy.
bool SameFit(const TLotCorrelation& a, const TLotCorrelation& b) {
    if (a.Kind != b.Kind || a.KeepOutliers != b.KeepOutliers || a.Name != b.Name || a.Author != b.Author ||
        a.Scope != b.Scope || a.Mix != b.Mix || a.Pairs.size() != b.Pairs.size())
        return false;
    for (size_t i = 0; i < a.Pairs.size(); ++i)
        if (a.Pairs[i].Key != b.Pairs[i].Key || a.Pairs[i].Core != b.Pairs[i].Core ||
            a.Pairs[i].Gauge != b.Pairs[i].Gauge)
            return false;
    return true;
}

} // namespace

void TAcceptanceFeatures::Correlate(const TAcceptanceLot& lot, QWidget* parent) {
    TCorrelationSetup setup;
    setup.Lot = lot.Records;
    setup.Current = lot.Correlation;
    const TIniFile* ini = form_.program().SettingsIni.get();
    setup.Author = ini ? ReadReportHeader(*ini).Header.Operator.trimmed() : QString();
    // The name the archive writes with every download: the system's, never an empty $USER.
    if (setup.Author.isEmpty())
        setup.Author = TDownloadInfo::CurrentUserName();
    if (lot.ArchiveLot) {
        setup.Mix = MixOf(lot.Material, lot.Records);
        if (TArchive* archive = form_.ArchiveSession().Archive(nullptr); archive && !setup.Mix.isEmpty())
            setup.MixCorrelations = MixCorrelations(*archive, setup.Mix);
    }
    setup.Dialogs = &dialogs_;
    setup.Extra = [this](const QString& key) { return Extra(key); };
    setup.Separator = SystemDecimalSeparator();
    setup.Caption = form_.windowTitle();
    setup.Help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::Correlation)); };
    TCorrelationWindow window(std::move(setup), parent);
    if (execDialog(window) != QDialog::Accepted)
        return;
    std::optional<TLotCorrelation> result = window.Result();
    if (!lot.ArchiveLot) {
        SetCorrelation(std::move(result));
        form_.SetStatusBarGeneral(correlation_ ? Extra("CorrApplied") : Extra("CorrRemoved"));
        return;
    }
    TArchive* archive = OpenArchive(parent);
    if (!archive)
        return;
    if (result && lot.Correlation && result->Id == 0 && SameFit(*result, *lot.Correlation))
        result = lot.Correlation;
    const TLotResult r =
        result ? ApplyLotCorrelation(*archive, lot.ArchiveLot, *result) : RemoveLotCorrelation(*archive, lot.ArchiveLot);
    if (!r.Ok()) {
        Tell(r.Problem == TLotProblem::ArchiveFailed
                 ? ArchiveQueryErrorText(r.Error, [this](const QString& key) { return Extra(key); })
                 : Extra("ArchiveLotNotFound"),
             MsgIcon::Warning, parent);
        return;
    }
    if (result)
        result->Id = r.Id;
    ArchiveCorrelationChanged(lot.ArchiveLot, result);
    form_.SetStatusBarGeneral((result ? Extra("ArchiveCorrKept") : Extra("ArchiveCorrRemoved")).arg(lot.Name));
}

void TAcceptanceFeatures::SetLimits(const TAcceptanceLot& lot, QWidget* parent) {
    TAcceptanceLimitsDialog dialog(
        lot.Limits, dialogs_, [this](const QString& key) { return Extra(key); }, parent);
    dialog.SetLotName(lot.Name);
    // An archive lot's name is the archive's: Lot > Edit lot renames it.
    if (lot.ArchiveLot)
        dialog.LotNameBox()->setReadOnly(true);
    dialog.caption = form_.windowTitle();
    dialog.help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::Acceptance)); };
    if (execDialog(dialog) != QDialog::Accepted)
        return;
    const TAcceptanceLimits limits = dialog.Limits();
    if (lot.ArchiveLot) {
        TArchive* archive = OpenArchive(parent);
        if (!archive)
            return;
        const TLotResult r = SetLotLimits(*archive, lot.ArchiveLot, limits);
        if (!r.Ok()) {
            Tell(r.Problem == TLotProblem::ArchiveFailed
                     ? ArchiveQueryErrorText(r.Error, [this](const QString& key) { return Extra(key); })
                 : r.Problem == TLotProblem::BadLimits ? Extra("AccBadLimits")
                                                       : Extra("ArchiveLotNotFound"),
                 MsgIcon::Warning, parent);
            return;
        }
    } else {
        limits_ = limits;
        lotName_ = dialog.LotName().trimmed();
    }
    // The last limits given are those a new lot starts with.
    if (TIniFile* ini = form_.program().SettingsIni.get()) {
        try {
            WriteAcceptanceLimits(*ini, limits);
        } catch (const EIniWriteError&) {
            // A read-only settings file has been reported by the window already; the limits
            // hold for this run (and an archive lot keeps its own).
        }
    }
}

void TAcceptanceFeatures::Header(QWidget* parent) {
    TIniFile* ini = form_.program().SettingsIni.get();
    TReportHeaderDialog dialog(
        ini ? ReadReportHeader(*ini) : TReportHeaderSetup{}, dialogs_,
        [this](const QString& key) { return Extra(key); }, parent);
    dialog.caption = form_.windowTitle();
    dialog.logoFolder = form_.program().PicturesDir;
    dialog.help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::ReportHeader)); };
    if (execDialog(dialog) != QDialog::Accepted || !ini)
        return;
    try {
        WriteReportHeader(*ini, dialog.Setup());
    } catch (const EIniWriteError& e) {
        Tell(Extra("FileWriteFailed").arg(QDir::toNativeSeparators(e.Path()), Extra("FileNotWritten")),
             MsgIcon::Error, parent);
    }
}

void TAcceptanceFeatures::Report(const TAcceptanceLot& lot, QWidget* parent) {
    const QChar sep = SystemDecimalSeparator();
    const TTextLookup extra = [this](const QString& key) { return Extra(key); };

    TAcceptanceReportInput input;
    input.Records = lot.Records;
    input.Limits = lot.Limits;
    if (lot.Correlation) {
        const std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(input.Records, *lot.Correlation);
        if (!issues.empty()) {
            QStringList reasons{Extra("CorrNotForLot")};
            for (const TAcceptanceIssue& i : issues)
                reasons << AcceptanceIssueText(i, extra, sep);
            Refuse(reasons, parent);
            return;
        }
        input.Correction = lot.Correlation->ForUse();
    }
    const TIniFile* ini = form_.program().SettingsIni.get();
    const TReportHeaderSetup header = ini ? ReadReportHeader(*ini) : TReportHeaderSetup{};
    input.Header = LotHeader(header.Header, lot.Name, lot.Object, lot.Material, lot.Layer);
    if (!header.Logo.isEmpty()) {
        const TReportLogo logo = LoadReportLogo(header.Logo);
        const QString path = QDir::toNativeSeparators(header.Logo);
        switch (logo.Result) {
        case TReportLogo::Loaded:
            input.Logo = logo.Image;
            break;
        case TReportLogo::CantOpen:
            Refuse({Extra("AccLogoCantOpen").arg(path)}, parent);
            return;
        case TReportLogo::NotImage:
            Refuse({Extra("AccLogoNotImage").arg(path)}, parent);
            return;
        case TReportLogo::TooLarge:
            Refuse({Extra("AccLogoTooLarge").arg(path, logo.Detail)}, parent);
            return;
        }
    }

    TAcceptanceTexts texts;
    texts.Documented = [this](const QString& key) { return form_.Msg(key); };
    texts.Extra = extra;
    texts.EnglishUI = form_.program().Language.EnglishUI();
    texts.Separator = sep;
    texts.ApplicationTitle = form_.windowTitle();
    auto report = std::make_unique<TAcceptanceReport>();
    QString refusal;
    if (!report->Prepare(input, texts, &refusal)) {
        Refuse({refusal}, parent);
        return;
    }
    // A report shown now stays the last one until the next is made, even if that is refused.
    report_ = std::move(report);
    TfrxReport& r = report_->frxReport1;
    r.Dialogs = &dialogs_;
    r.PreviewParent = parent;
    r.IniFile = form_.program().SettingsIni.get();
    r.PreviewHelp = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::AcceptanceReport)); };
    r.MessageCaption = form_.windowTitle();
    r.Resources.Select(form_.program().Language.LanguageFolder(), texts.EnglishUI);
    form_.SetStatusBarGeneral(VerdictText(report_->Acceptance().Verdict, extra) + QStringLiteral(": ") +
                              VerdictReason(report_->Acceptance(), input.Limits, extra, sep));
    if (showReport)
        showReport(r);
}

} // namespace lum1
