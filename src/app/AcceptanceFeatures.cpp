#include "app/AcceptanceFeatures.h"

#include "acceptance/AcceptanceTexts.h"
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
#include <QMenu>

#include <algorithm>

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

TLotCorrectionState TAcceptanceFeatures::CorrectionState() const {
    TLotCorrectionState state;
    if (!correlation_)
        return state;
    const QChar sep = SystemDecimalSeparator();
    const TTextLookup extra = [this](const QString& key) { return Extra(key); };
    const std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(ShownLot(), *correlation_);
    if (!issues.empty()) {
        QString first = AcceptanceIssueText(issues.front(), extra, sep);
        if (issues.size() > 1)
            first += QStringLiteral(" ") + Extra("CorrMoreIssues").arg(issues.size() - 1);
        state.Text = Extra("CorrNotApplied").arg(first);
        return state;
    }
    state.Correction = correlation_->ForUse();
    const QString description = state.Correction->Description;
    const QString text = CorrectionText(*state.Correction, extra, sep);
    state.Text = description.isEmpty() ? text : description + QStringLiteral(": ") + text;
    return state;
}

void TAcceptanceFeatures::SetCorrelation(std::optional<TLotCorrelation> correlation) {
    correlation_ = std::move(correlation);
    lot_.Recompute();
}

TAcceptanceLimits TAcceptanceFeatures::Limits() const {
    if (limits_)
        return *limits_;
    const TIniFile* ini = form_.program().SettingsIni.get();
    if (!ini)
        return TAcceptanceLimits{};
    const double minimum = ParseMinCompaction(ini->ReadString(QStringLiteral("LotStatistics"),
                                                              QStringLiteral("MinCompaction"), {}))
                               .value_or(DefaultMinCompaction);
    return ReadAcceptanceLimits(*ini, minimum);
}

void TAcceptanceFeatures::Tell(const QString& text, MsgIcon icon) {
    MessageRequest message;
    message.caption = form_.windowTitle();
    message.text = text;
    message.icon = icon;
    dialogs_.Message(message);
}

void TAcceptanceFeatures::ShowCorrelation() {
    if (!HasLot()) {
        Tell(Extra("AccLotEmpty"), MsgIcon::Information);
        return;
    }
    TCorrelationSetup setup;
    setup.Lot = ShownLot();
    setup.Current = correlation_;
    const TIniFile* ini = form_.program().SettingsIni.get();
    setup.Author = ini ? ReadReportHeader(*ini).Header.Operator.trimmed() : QString();
    if (setup.Author.isEmpty())
        setup.Author = qEnvironmentVariable("USER");
    setup.Dialogs = &dialogs_;
    setup.Extra = [this](const QString& key) { return Extra(key); };
    setup.Separator = SystemDecimalSeparator();
    setup.Caption = form_.windowTitle();
    setup.Help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::Correlation)); };
    TCorrelationWindow window(std::move(setup), &form_);
    if (execDialog(window) != QDialog::Accepted)
        return;
    SetCorrelation(window.Result());
    form_.SetStatusBarGeneral(correlation_ ? Extra("CorrApplied") : Extra("CorrRemoved"));
}

void TAcceptanceFeatures::EditLimits() {
    TAcceptanceLimitsDialog dialog(
        Limits(), dialogs_, [this](const QString& key) { return Extra(key); }, &form_);
    dialog.SetLotName(lotName_);
    dialog.caption = form_.windowTitle();
    dialog.help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::Acceptance)); };
    if (execDialog(dialog) != QDialog::Accepted)
        return;
    limits_ = dialog.Limits();
    lotName_ = dialog.LotName().trimmed();
    if (TIniFile* ini = form_.program().SettingsIni.get()) {
        try {
            WriteAcceptanceLimits(*ini, *limits_);
        } catch (const EIniWriteError&) {
            // A read-only settings file has been reported by the window already; the limits
            // hold for this run.
        }
    }
}

void TAcceptanceFeatures::EditHeader() {
    TIniFile* ini = form_.program().SettingsIni.get();
    TReportHeaderDialog dialog(
        ini ? ReadReportHeader(*ini) : TReportHeaderSetup{}, dialogs_,
        [this](const QString& key) { return Extra(key); }, &form_);
    dialog.caption = form_.windowTitle();
    dialog.logoFolder = form_.program().PicturesDir;
    dialog.help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::ReportHeader)); };
    if (execDialog(dialog) != QDialog::Accepted || !ini)
        return;
    try {
        WriteReportHeader(*ini, dialog.Setup());
    } catch (const EIniWriteError& e) {
        Tell(Extra("FileWriteFailed").arg(QDir::toNativeSeparators(e.Path()), Extra("FileNotWritten")),
             MsgIcon::Error);
    }
}

void TAcceptanceFeatures::MakeReport() {
    if (!HasLot()) {
        Tell(Extra("AccLotEmpty"), MsgIcon::Information);
        return;
    }
    const QChar sep = SystemDecimalSeparator();
    const TTextLookup extra = [this](const QString& key) { return Extra(key); };
    auto refuse = [this](const QStringList& reasons) {
        Tell(Extra("AccCliRefused") + QStringLiteral("\n") + reasons.join(u'\n'), MsgIcon::Warning);
    };

    TAcceptanceReportInput input;
    input.Records = ShownLot();
    input.Limits = Limits();
    if (correlation_) {
        const std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(input.Records, *correlation_);
        if (!issues.empty()) {
            QStringList reasons{Extra("CorrNotForLot")};
            for (const TAcceptanceIssue& i : issues)
                reasons << AcceptanceIssueText(i, extra, sep);
            refuse(reasons);
            return;
        }
        input.Correction = correlation_->ForUse();
    }
    const TIniFile* ini = form_.program().SettingsIni.get();
    const TReportHeaderSetup header = ini ? ReadReportHeader(*ini) : TReportHeaderSetup{};
    input.Header = header.Header;
    input.Header.Lot = lotName_;
    if (!header.Logo.isEmpty()) {
        const TReportLogo logo = LoadReportLogo(header.Logo);
        const QString path = QDir::toNativeSeparators(header.Logo);
        switch (logo.Result) {
        case TReportLogo::Loaded:
            input.Logo = logo.Image;
            break;
        case TReportLogo::CantOpen:
            refuse({Extra("AccLogoCantOpen").arg(path)});
            return;
        case TReportLogo::NotImage:
            refuse({Extra("AccLogoNotImage").arg(path)});
            return;
        case TReportLogo::TooLarge:
            refuse({Extra("AccLogoTooLarge").arg(path, logo.Detail)});
            return;
        }
    }

    TAcceptanceTexts texts;
    texts.Documented = [this](const QString& key) { return form_.Msg(key); };
    texts.Extra = extra;
    texts.EnglishUI = form_.program().Language.EnglishUI();
    texts.Separator = sep;
    texts.ApplicationTitle = form_.windowTitle();
    report_ = std::make_unique<TAcceptanceReport>();
    QString refusal;
    if (!report_->Prepare(input, texts, &refusal)) {
        refuse({refusal});
        return;
    }
    TfrxReport& r = report_->frxReport1;
    r.Dialogs = &dialogs_;
    r.PreviewParent = &form_;
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
