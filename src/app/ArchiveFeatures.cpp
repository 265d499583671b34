#include "app/ArchiveFeatures.h"

#include "app/AcceptanceFeatures.h"
#include "app/DeviceLink.h"
#include "app/HelpTopics.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveSession.h"
#include "archive/ArchiveSettings.h"
#include "archiveui/ArchiveWindow.h"
#include "lang/ExtraTexts.h"
#include "results/ResultsFiles.h"
#include "results/ResultsTable.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QMenuBar>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace lum1 {

TArchiveFeatures::TArchiveFeatures(TForm1& form, IDialogs& dialogs) : form_(form), dialogs_(dialogs) {
    // A menu of its own after the documented menus: File keeps Exit as its last item.
    itmArchive = form_.menuBar()->addMenu(QString());
    itmArchive->setObjectName(QStringLiteral("itmArchive"));
    itmArchive->setToolTipsVisible(true);
    AArchiveOpen = new QAction(this);
    AArchiveOpen->setObjectName(QStringLiteral("AArchiveOpen"));
    AArchiveImport = new QAction(this);
    AArchiveImport->setObjectName(QStringLiteral("AArchiveImport"));
    itmArchive->addAction(AArchiveOpen);
    itmArchive->addAction(AArchiveImport);
    connect(AArchiveOpen, &QAction::triggered, this, [this] { AArchiveOpenExecute(); });
    connect(AArchiveImport, &QAction::triggered, this, [this] { AArchiveImportExecute(); });

    // The language's column titles reach the main table after the menus: the window follows it.
    connect(&form_.Table(), &QAbstractItemModel::headerDataChanged, this, [this] {
        if (window_)
            window_->SetTitles();
    });
    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, [this] { PollImport(); });
    MenuFill();
}

TArchiveFeatures::~TArchiveFeatures() {
    Stop();
    // The window reads through the main window's archive session: it goes first.
    delete window_;
}

QString TArchiveFeatures::Extra(const char* key) const {
    return GetExtraMessage(form_.program().Language, QString::fromLatin1(key));
}

void TArchiveFeatures::MenuFill() {
    itmArchive->setTitle(Extra("ArchiveMenu"));
    AArchiveOpen->setText(Extra("ArchiveOpen"));
    AArchiveOpen->setToolTip(Extra("ArchiveOpenHint"));
    AArchiveImport->setText(Extra("ArchiveImport"));
    AArchiveImport->setToolTip(Extra("ArchiveImportHint"));
    if (window_)
        window_->SetTexts();
}

// ---------------------------------------------------------------- the window

void TArchiveFeatures::AArchiveOpenExecute() {
    if (!window_) {
        TArchiveWindowContext c;
        c.Archive = [this](TArchiveError* error) { return form_.ArchiveSession().Archive(error); };
        c.Extra = [this](const QString& key) { return GetExtraMessage(form_.program().Language, key); };
        c.RecordTexts = [this] {
            return TRecordTextContext::Fetch([this](const QString& key) { return form_.Msg(key); },
                                             form_.program().Language.EnglishUI());
        };
        c.Titles = [this] {
            // The main table's two title rows; its count cell is no title.
            TArchiveModel::Titles titles;
            const TResultsTable& table = form_.Table();
            for (int column = 0; column < ResultColumns; ++column) {
                const QString second = column == 0 ? QString() : table.Cell(column, 1);
                titles[static_cast<size_t>(column)] =
                    second.isEmpty() ? table.Cell(column, 0) : table.Cell(column, 0) + u'\n' + second;
            }
            return titles;
        };
        c.Caption = [this] { return form_.windowTitle(); };
        c.Dialogs = &dialogs_;
        c.ShowInMainTable = [this](const std::vector<TMeasRecord>& records, const QString& source,
                                   bool statistics,
                                   qint64 lot) { return ShowInMainTable(records, source, statistics, lot); };
        c.LotAcceptance = [this](TLotAcceptanceCommand command, qint64 lot, QWidget* parent) {
            if (TAcceptanceFeatures* acceptance = form_.AcceptanceFeatures())
                acceptance->ArchiveLotCommand(command, lot, parent);
        };
        c.Import = [this] { AArchiveImportExecute(); };
        c.Help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::Archive)); };
        window_ = new TfrmArchive(std::move(c), &form_);
        // Over the main window, frame and all within the screen (the frame taken as the main
        // window's, as the new window has none yet).
        if (const QScreen* screen = form_.screen()) {
            const QRect free = screen->availableGeometry();
            const QRect mainFrame = form_.frameGeometry(), mainInside = form_.geometry();
            const QSize frame(mainFrame.width() - mainInside.width(),
                              mainFrame.height() - mainInside.height());
            const QSize inside = window_->size().boundedTo(free.size() * 9 / 10 - frame);
            QRect place(QPoint(0, 0), inside + frame);
            place.moveCenter(mainFrame.center());
            place.moveLeft(std::max(free.left(), std::min(place.left(), free.right() + 1 - place.width())));
            place.moveTop(std::max(free.top(), std::min(place.top(), free.bottom() + 1 - place.height())));
            window_->resize(inside);
            window_->move(place.topLeft());
        }
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    window_->Refresh();
}

void TArchiveFeatures::ArchiveChanged() {
    // Troubles go to the window's own lines, not into a box: this may run inside other work.
    if (window_ && window_->isVisible())
        window_->Refresh(false);
}

bool TArchiveFeatures::ShowInMainTable(const std::vector<TMeasRecord>& records, const QString& source,
                                       bool statistics, qint64 lot) {
    {
        const TStoreHold hold = form_.Device().LockStore();
        if (!hold.owns_lock()) {
            QApplication::beep();
            return false;
        }
        // The bytes go through the reader of results files, so the store holds exactly what a
        // file of these records would give.
        QByteArray bytes(reinterpret_cast<const char*>(records.data()),
                         static_cast<qsizetype>(records.size()) * RecordSize);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        form_.DataClear();
        const int count = ReadRecords(buffer, form_.program().Store);
        form_.SetStatusBarGeneral(Extra("ArchiveMainStatus").arg(count).arg(source));
        form_.FillDataTable(0);
        form_.PopupMenu1Popup();
    }
    if (TAcceptanceFeatures* acceptance = form_.AcceptanceFeatures())
        acceptance->SetArchiveLotShown(lot, records);
    if (statistics && form_.LotFeatures())
        form_.LotFeatures()->SetPanelShown(true);
    return true;
}

// ---------------------------------------------------------------- import

void TArchiveFeatures::AArchiveImportExecute() {
    if (job_) {
        // One import at a time: its progress window is brought forward instead.
        QApplication::beep();
        form_.SetStatusBarGeneral(Extra("ArchiveImportBusy"));
        if (progress_) {
            progress_->raise();
            progress_->activateWindow();
        }
        return;
    }
    FileDialogRequest request;
    request.title = Extra("ArchiveImportTitle");
    // The filters of the documented open and save dialogs, fixed in both languages as theirs are.
    request.filters =
        form_.program().Language.EnglishUI()
            ? QStringList{QStringLiteral("LUM-1 files (*.lum1)"), QStringLiteral("All files (*.*)")}
            : QStringList{QStringLiteral("Файлы ЛУМ-1 (*.lum1)"), QStringLiteral("Все файлы (*.*)")};
    request.directory = form_.program().ResultsDir;
    request.folderButton = Extra("ArchiveImportFolder");
    request.folderButtonHint = Extra("ArchiveImportFolderHint");
    const QStringList chosen = dialogs_.OpenFileNames(request);
    if (!chosen.isEmpty())
        Import(chosen);
}

void TArchiveFeatures::Import(const QStringList& filesAndFolders) {
    if (job_ || filesAndFolders.isEmpty())
        return;
    if (progress_) // the summary of the import before
        progress_->deleteLater();
    const TArchiveSettings settings = form_.program().SettingsIni
                                          ? TArchiveSettings::Read(*form_.program().SettingsIni)
                                          : TArchiveSettings{};
    job_ =
        std::make_unique<TArchiveImportJob>(settings.Connection(form_.program().ArchiveDir), filesAndFolders);
    job_->Start();

    auto* progress = new QProgressDialog(&form_);
    progress->setObjectName(QStringLiteral("ArchiveImportProgress"));
    progress->setWindowModality(Qt::NonModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    progress->setWindowTitle(Extra("ArchiveImport"));
    auto* bar = new QProgressBar(progress);
    bar->setAccessibleName(Extra("ArchiveImportProgressHint"));
    bar->setToolTip(Extra("ArchiveImportProgressHint"));
    progress->setBar(bar);
    auto* cancel = new QPushButton(Extra("ArchiveImportCancel"), progress);
    cancel->setObjectName(QStringLiteral("ArchiveImportCancelButton"));
    cancel->setAccessibleName(Extra("ArchiveImportCancelHint"));
    cancel->setToolTip(Extra("ArchiveImportCancelHint"));
    progress->setCancelButton(cancel);
    progress->setLabelText(Extra("ArchiveImportSearching"));
    progress->setRange(0, 0);
    // Cancel, Escape and the title bar's close all stop the import after the file under way;
    // once the summary stands in the window, they close it.
    connect(progress, &QProgressDialog::canceled, this, [this, progress] {
        if (job_)
            job_->Cancel();
        else
            progress->deleteLater();
    });
    progress_ = progress;
    progress->show();
    poll_->start();
}

void TArchiveFeatures::PollImport() {
    if (!job_) {
        poll_->stop();
        return;
    }
    if (job_->Finished()) {
        FinishImport();
        return;
    }
    const int total = job_->Total();
    if (progress_ && total > 0 && !job_->Cancelled()) {
        progress_->setRange(0, total);
        progress_->setValue(job_->Done());
        progress_->setLabelText(Extra("ArchiveImportProgress")
                                    .arg(job_->Done() + 1)
                                    .arg(total)
                                    .arg(QDir::toNativeSeparators(job_->CurrentFile())));
    }
}

// The end may come while other work of the window runs (a file being read, a status line being
// painted): nothing here waits for the user, so that no command can start inside that work.
void TArchiveFeatures::FinishImport() {
    poll_->stop();
    job_->Wait();
    const std::unique_ptr<TArchiveImportJob> job = std::move(job_);
    const ExtraTextLookup extra = [this](const QString& key) {
        return GetExtraMessage(form_.program().Language, key);
    };
    const TImportSummary& summary = job->Summary();
    // A damaged archive file set aside when the import opened it: the import went into a new one.
    QStringList lines;
    if (job->OpenError() && !summary.Error)
        lines << ArchiveErrorText(job->OpenError(), extra);
    for (const TFileArrival& file : summary.Files)
        form_.AddHistoryLine(FileArrivalText(file, extra));
    if (job->Files().isEmpty() && !summary.Cancelled)
        lines << Extra("ArchiveImportNone");
    else
        lines << ImportSummaryText(summary, extra);
    lastSummary_ = lines.join(u'\n');
    form_.SetStatusBarGeneral(lines.join(u' '));
    // The summary stays in the progress window until the user closes it.
    if (progress_) {
        progress_->setWindowTitle(Extra("ArchiveImportSummary"));
        progress_->setRange(0, 1);
        progress_->setValue(1);
        progress_->setLabelText(lastSummary_);
        if (auto* close = progress_->findChild<QPushButton*>(QStringLiteral("ArchiveImportCancelButton"))) {
            close->setText(Extra("ArchiveImportClose"));
            close->setToolTip(Extra("ArchiveImportCloseHint"));
            close->setAccessibleName(Extra("ArchiveImportCloseHint"));
        }
        progress_->show();
    }
    ArchiveChanged();
}

void TArchiveFeatures::Stop() {
    if (!job_)
        return;
    poll_->stop();
    job_->Cancel();
    job_->Wait();
    job_.reset();
    if (progress_) {
        progress_->hide();
        progress_->deleteLater();
    }
}

} // namespace lum1
