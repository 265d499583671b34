#include "report/ReportPreview.h"

#include "platform/Dialogs.h"
#include "platform/ExportFile.h"
#include "platform/FileError.h"
#include "platform/IniFile.h"
#include "report/CsvExport.h"
#include "report/HtmlExport.h"
#include "report/PdfExport.h"
#include "report/PreparedReportFile.h"
#include "report/Report.h"
#include "report/ReportPainter.h"
#include "report/TextExport.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lum1 {

TReportPreview::TReportPreview(TfrxReport& report, QWidget* parent)
    : QDialog(parent), report_(report), previewPrinter_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("ReportPreview"));
    const TfrxResources& t = report_.Resources;
    setWindowTitle(t.Get(QStringLiteral("PreviewTitle")));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    RestoreSize();

    previewPrinter_.setPageLayout(TReportPainter(report_.PreparedPages()).PageLayout(true));

    view_ = new QPrintPreviewWidget(&previewPrinter_, this);
    view_->setObjectName(QStringLiteral("PreviewPages"));
    view_->setAccessibleName(t.Get(QStringLiteral("PreviewTitle")));
    view_->setSinglePageViewMode();
    view_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    view_->setZoomFactor(1.0);
    connect(view_, &QPrintPreviewWidget::paintRequested, this, &TReportPreview::PaintRequested);
    connect(view_, &QPrintPreviewWidget::previewChanged, this, &TReportPreview::UpdatePageCounter);

    BuildToolbar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(view_, 1);
}

// The pages' view draws on previewPrinter_: it goes first, before the printer it points to.
TReportPreview::~TReportPreview() {
    delete view_;
}

namespace {
const QString kSizeSection = QStringLiteral("ReportPreview");

// The report's title as the proposed name, without characters a file name cannot hold.
QString ProposedFileName(const QString& title, const QString& suffix) {
    QString name = title;
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")), QStringLiteral("_"));
    name = name.trimmed();
    return name.isEmpty() ? QString() : name + u'.' + suffix;
}
} // namespace

// A page at its real size needs room: the window opens at the size the user last gave it, else
// maximised (the normal size then nearly fills the screen).
void TReportPreview::RestoreSize() {
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    bool maximized = true;
    QSize size = available * 0.9;
    if (const TIniFile* ini = report_.IniFile) {
        maximized = ini->ReadInteger(kSizeSection, QStringLiteral("Maximized"), 1) != 0;
        const QSize stored(ini->ReadInteger(kSizeSection, QStringLiteral("Width"), 0),
                           ini->ReadInteger(kSizeSection, QStringLiteral("Height"), 0));
        // A hand-edited size smaller than a usable window, or larger than the screen, is bounded.
        if (stored.width() > 0 && stored.height() > 0)
            size = stored.expandedTo(QSize(400, 300)).boundedTo(available);
    }
    resize(size);
    if (maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TReportPreview::SaveSize() {
    TIniFile* ini = report_.IniFile;
    if (!ini)
        return;
    try {
        ini->WriteInteger(kSizeSection, QStringLiteral("Maximized"), isMaximized() ? 1 : 0);
        if (!isMaximized()) {
            ini->WriteInteger(kSizeSection, QStringLiteral("Width"), width());
            ini->WriteInteger(kSizeSection, QStringLiteral("Height"), height());
        }
    } catch (const EIniWriteError&) {
        // A settings file that cannot be written is reported by the main window when it saves
        // its own settings; the preview's size is only a convenience.
    }
}

void TReportPreview::done(int result) {
    SaveSize();
    QDialog::done(result);
}

QAction* TReportPreview::AddButton(const QString& name, const QString& textKey, const QString& hintKey,
                                   void (TReportPreview::*slot)()) {
    const TfrxResources& t = report_.Resources;
    auto* a = new QAction(t.Get(textKey), this);
    a->setObjectName(name);
    a->setToolTip(t.Get(hintKey.isEmpty() ? textKey : hintKey));
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    toolbar_->addAction(a);
    if (QWidget* w = toolbar_->widgetForAction(a)) {
        w->setObjectName(name + QStringLiteral("Button"));
        w->setAccessibleName(t.Get(textKey));
        w->setAccessibleDescription(a->toolTip());
    }
    return a;
}

void TReportPreview::BuildToolbar() {
    const TfrxResources& t = report_.Resources;
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("PreviewToolbar"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    QAction* print = AddButton(QStringLiteral("PrintAction"), QStringLiteral("Print"),
                               QStringLiteral("PrintHint"), &TReportPreview::Print);
    print->setShortcut(QKeySequence::Print);
    AddButton(QStringLiteral("OpenAction"), QStringLiteral("Open"), QStringLiteral("OpenHint"),
              &TReportPreview::OpenReport)
        ->setShortcut(QKeySequence::Open);
    AddButton(QStringLiteral("SaveAction"), QStringLiteral("Save"), QStringLiteral("SaveHint"),
              &TReportPreview::SaveReport)
        ->setShortcut(QKeySequence::Save);
    pageSetup_ = AddButton(QStringLiteral("PageSetupAction"), QStringLiteral("PageSetup"),
                           QStringLiteral("PageSetupHint"), &TReportPreview::PageSetup);

    // Export: one button with a menu of the four formats.
    auto* exportMenu = new QMenu(this);
    exportMenu->setObjectName(QStringLiteral("ExportMenu"));
    const std::pair<TExportFormat, const char*> formats[] = {{TExportFormat::Text, "ExportText"},
                                                             {TExportFormat::Pdf, "ExportPdf"},
                                                             {TExportFormat::Html, "ExportHtml"},
                                                             {TExportFormat::Csv, "ExportCsv"}};
    for (const auto& [format, key] : formats) {
        QAction* a = exportMenu->addAction(t.Get(QString::fromLatin1(key)));
        a->setObjectName(QString::fromLatin1(key));
        connect(a, &QAction::triggered, this, [this, f = format] { Export(f); });
    }
    QAction* exportAction = AddButton(QStringLiteral("ExportAction"), QStringLiteral("Export"),
                                      QStringLiteral("ExportHint"), nullptr);
    exportAction->setMenu(exportMenu);
    if (auto* b = qobject_cast<QToolButton*>(toolbar_->widgetForAction(exportAction)))
        b->setPopupMode(QToolButton::InstantPopup);
    toolbar_->addSeparator();

    // The zoom steps show a sign; their names and tooltips say what they do.
    QAction* zoomIn = AddButton(QStringLiteral("ZoomInAction"), QStringLiteral("ZoomIn"), {}, nullptr);
    zoomIn->setIconText(QStringLiteral("+"));
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, view_, [this] { view_->zoomIn(1.25); });
    QAction* zoomOut = AddButton(QStringLiteral("ZoomOutAction"), QStringLiteral("ZoomOut"), {}, nullptr);
    zoomOut->setIconText(QStringLiteral("\u2212"));
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, view_, [this] { view_->zoomOut(1.25); });
    AddButton(QStringLiteral("Zoom100Action"), QStringLiteral("Zoom100"), QStringLiteral("Zoom100Hint"),
              &TReportPreview::ZoomTo100);
    AddButton(QStringLiteral("FitWidthAction"), QStringLiteral("FitWidth"), QStringLiteral("FitWidthHint"),
              nullptr);
    connect(toolbar_->actions().back(), &QAction::triggered, view_, &QPrintPreviewWidget::fitToWidth);
    AddButton(QStringLiteral("WholePageAction"), QStringLiteral("WholePage"), QStringLiteral("WholePageHint"),
              nullptr);
    connect(toolbar_->actions().back(), &QAction::triggered, view_, &QPrintPreviewWidget::fitInView);
    toolbar_->addSeparator();

    const std::tuple<const char*, const char*, QStyle::StandardPixmap, void (TReportPreview::*)()> moves[] = {
        {"FirstPageAction", "FirstPage", QStyle::SP_MediaSkipBackward, &TReportPreview::FirstPage},
        {"PriorPageAction", "PriorPage", QStyle::SP_MediaSeekBackward, &TReportPreview::PriorPage},
        {"NextPageAction", "NextPage", QStyle::SP_MediaSeekForward, &TReportPreview::NextPage},
        {"LastPageAction", "LastPage", QStyle::SP_MediaSkipForward, &TReportPreview::LastPage}};
    for (const auto& [name, key, icon, slot] : moves) {
        QAction* a = AddButton(QString::fromLatin1(name), QString::fromLatin1(key), {}, slot);
        a->setIcon(style()->standardIcon(icon));
        if (auto* b = qobject_cast<QToolButton*>(toolbar_->widgetForAction(a)))
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        if (std::string_view(key) == "PriorPage") {
            pageBox_ = new QSpinBox(this);
            pageBox_->setObjectName(QStringLiteral("PageNumberBox"));
            pageBox_->setAccessibleName(t.Get(QStringLiteral("PageNumber")));
            pageBox_->setToolTip(t.Get(QStringLiteral("PageNumber")));
            pageBox_->setMinimum(1);
            pageBox_->setKeyboardTracking(false);
            toolbar_->addWidget(pageBox_);
            pageCount_ = new QLabel(this);
            pageCount_->setObjectName(QStringLiteral("PageCountLabel"));
            pageCount_->setContentsMargins(4, 0, 4, 0);
            toolbar_->addWidget(pageCount_);
            connect(pageBox_, &QSpinBox::valueChanged, this, [this](int page) { GoToPage(page); });
        }
    }
    toolbar_->addSeparator();

    findEdit_ = new QLineEdit(this);
    findEdit_->setObjectName(QStringLiteral("FindTextEdit"));
    findEdit_->setPlaceholderText(t.Get(QStringLiteral("FindText")));
    findEdit_->setAccessibleName(t.Get(QStringLiteral("FindText")));
    findEdit_->setToolTip(t.Get(QStringLiteral("FindText")));
    findEdit_->setMaximumWidth(180);
    toolbar_->addWidget(findEdit_);
    QAction* find = AddButton(QStringLiteral("FindNextAction"), QStringLiteral("FindNext"),
                              QStringLiteral("FindNextHint"), &TReportPreview::FindClicked);
    find->setShortcut(QKeySequence::FindNext);
    connect(findEdit_, &QLineEdit::returnPressed, this, &TReportPreview::FindClicked);
    toolbar_->addSeparator();

    AddButton(QStringLiteral("CloseAction"), QStringLiteral("Close"), QStringLiteral("CloseHint"), nullptr);
    connect(toolbar_->actions().back(), &QAction::triggered, this, &QDialog::reject);

    // The toolbar's own button for what does not fit in a narrow window.
    for (QToolButton* b : toolbar_->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        b->setAccessibleName(t.Get(QStringLiteral("More")));
        b->setToolTip(t.Get(QStringLiteral("More")));
    }
}

void TReportPreview::PaintRequested(QPrinter* printer) {
    const TPreparedReport& prepared = report_.PreparedPages();
    if (prepared.Pages.empty())
        return;
    QPainter painter(printer);
    TReportPainter(prepared).PaintPages(painter, *printer, printer->resolution(), 0,
                                        static_cast<int>(prepared.Pages.size()) - 1, highlight_);
}

QString TReportPreview::Caption() const {
    return report_.MessageCaption.isEmpty() ? windowTitle() : report_.MessageCaption;
}

int TReportPreview::CurrentPage() const {
    return view_->currentPage();
}
int TReportPreview::PageCount() const {
    return view_->pageCount();
}

void TReportPreview::GoToPage(int page) {
    view_->setCurrentPage(page);
    UpdatePageCounter();
}

void TReportPreview::UpdatePageCounter() {
    const QSignalBlocker block(pageBox_);
    pageBox_->setMaximum(std::max(1, view_->pageCount()));
    pageBox_->setValue(view_->currentPage());
    pageCount_->setText(
        report_.Resources.Get(QStringLiteral("PageCount"), QString::number(view_->pageCount())));
}

void TReportPreview::ZoomTo100() {
    view_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    view_->setZoomFactor(1.0);
}

void TReportPreview::FirstPage() {
    GoToPage(1);
}
void TReportPreview::PriorPage() {
    GoToPage(std::max(1, view_->currentPage() - 1));
}
void TReportPreview::NextPage() {
    GoToPage(std::min(view_->pageCount(), view_->currentPage() + 1));
}
void TReportPreview::LastPage() {
    GoToPage(view_->pageCount());
}

void TReportPreview::Print() {
    const TfrxResources& t = report_.Resources;
    const TPreparedReport& prepared = report_.PreparedPages();
    if (prepared.Pages.empty())
        return;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        if (report_.Dialogs)
            report_.Dialogs->Message(
                {Caption(), t.Get(QStringLiteral("NoPrinter")), MsgIcon::Warning, MsgButtons::Ok, 0, this});
        return;
    }
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    PrintWith(printer);
}

bool TReportPreview::PrintWith(QPrinter& printer) {
    const TPreparedReport& prepared = report_.PreparedPages();
    if (prepared.Pages.empty())
        return false;
    printer.setPageLayout(TReportPainter(prepared).PageLayout(true));
    printer.setDocName(report_.DocumentInfo.Title);
    printer.setFromTo(0, 0);
    const bool accepted = execPrintDialog ? execPrintDialog(printer) : [&] {
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, static_cast<int>(prepared.Pages.size()));
        return dialog.exec() == QDialog::Accepted;
    }();
    return accepted && PrintOn(printer);
}

bool TReportPreview::PrintOn(QPrinter& printer) {
    const TPreparedReport& prepared = report_.PreparedPages();
    if (prepared.Pages.empty())
        return false;
    const int last = static_cast<int>(prepared.Pages.size()) - 1;
    int from = 0, to = last;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage() - 1, 0, last);
        to = std::clamp(printer.toPage() - 1, from, last);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = std::clamp(view_->currentPage() - 1, 0, last);
    }
    // Whatever the print dialog chose, the boxes are measured from the paper's corner.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (report_.Dialogs)
            report_.Dialogs->Message(
                {Caption(), report_.Resources.Get(QStringLiteral("PrintError"), printer.printerName()),
                 MsgIcon::Error, MsgButtons::Ok, 0, this});
        return false;
    }
    TReportPainter(prepared).PaintPages(painter, printer, printer.resolution(), from, to);
    return painter.end();
}

void TReportPreview::PageSetup() {
    QPageSetupDialog dialog(&previewPrinter_, this);
    if (dialog.exec() == QDialog::Accepted)
        ApplyPageLayout(previewPrinter_.pageLayout());
}

void TReportPreview::ApplyPageLayout(const QPageLayout& layout) {
    if (report_.Pages.empty() || opened_)
        return;
    // The new paper goes into the template and the report is laid out on it again.
    TfrxReportPage& page = *report_.Pages.front();
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    page.PaperWidthMm = paper.width();
    page.PaperHeightMm = paper.height();
    page.Orientation = layout.orientation() == QPageLayout::Landscape ? TPageOrientation::Landscape
                                                                      : TPageOrientation::Portrait;
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    page.LeftMarginMm = margins.left();
    page.TopMarginMm = margins.top();
    page.RightMarginMm = margins.right();
    page.BottomMarginMm = margins.bottom();
    if (report_.OnPageSetup)
        report_.OnPageSetup(page);
    report_.PrepareReport();
    ShowNewPages();
}

void TReportPreview::ShowNewPages() {
    highlight_ = nullptr;
    foundPage_ = foundBox_ = -1;
    previewPrinter_.setPageLayout(TReportPainter(report_.PreparedPages()).PageLayout(true));
    view_->updatePreview();
    GoToPage(1);
}

void TReportPreview::Tell(const QString& text, MsgIcon icon) {
    if (report_.Dialogs)
        report_.Dialogs->Message({Caption(), text, icon, MsgButtons::Ok, 0});
}

void TReportPreview::SaveReport() {
    const TfrxResources& t = report_.Resources;
    if (!report_.Dialogs || report_.PreparedPages().Pages.empty())
        return;
    FileDialogRequest request;
    request.title = t.Get(QStringLiteral("SaveTitle"));
    request.filters = {t.Get(QStringLiteral("ReportFilter"))};
    request.directory = report_.ExportFolder;
    request.defaultSuffix = QString::fromLatin1(PreparedReportSuffix);
    request.fileName = ProposedFileName(report_.DocumentInfo.Title, request.defaultSuffix);
    const std::optional<QString> path = report_.Dialogs->SaveFileName(request);
    if (!path || path->isEmpty())
        return;
    const QString error =
        WriteExportFile(*path, WritePreparedReport(report_.PreparedPages(), report_.DocumentInfo),
                        {t.Get(QStringLiteral("ReadOnly")), t.Get(QStringLiteral("WriteFailed"))});
    if (!error.isEmpty()) {
        Tell(t.Get(QStringLiteral("ExportError"), *path, error), MsgIcon::Error);
        return;
    }
    report_.ExportFolder = QFileInfo(*path).absolutePath();
}

void TReportPreview::OpenReport() {
    const TfrxResources& t = report_.Resources;
    if (!report_.Dialogs)
        return;
    FileDialogRequest request;
    request.title = t.Get(QStringLiteral("OpenTitle"));
    request.filters = {t.Get(QStringLiteral("ReportFilter"))};
    request.directory = report_.ExportFolder;
    const std::optional<QString> path = report_.Dialogs->OpenFileName(request);
    if (!path || path->isEmpty())
        return;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        Tell(t.Get(QStringLiteral("OpenError"), *path, file.errorString()), MsgIcon::Error);
        return;
    }
    // A file far larger than any report is not read into memory at all.
    TReportFileError error = TReportFileError::NotAReport;
    std::optional<TSavedReport> saved;
    if (file.size() <= MaxPreparedReportBytes)
        saved = ReadPreparedReport(file.readAll(), &error);
    if (!saved) {
        Tell(t.Get(error == TReportFileError::Newer ? QStringLiteral("NewerReport")
                                                    : QStringLiteral("NotAReport"),
                   *path),
             MsgIcon::Error);
        return;
    }
    report_.SetPreparedPages(std::move(saved->Pages));
    report_.DocumentInfo = saved->Properties;
    report_.ExportFolder = QFileInfo(*path).absolutePath();
    // The rows the report was made from are not in the file: it prints as it was saved.
    opened_ = true;
    pageSetup_->setEnabled(false);
    ShowNewPages();
}

void TReportPreview::Export(TExportFormat format) {
    const TfrxResources& t = report_.Resources;
    if (!report_.Dialogs)
        return;
    static const char* const filterKeys[] = {"ExportText", "ExportPdf", "ExportHtml", "ExportCsv"};
    static const char* const suffixes[] = {"txt", "pdf", "html", "csv"};
    const auto index = static_cast<size_t>(format);
    FileDialogRequest request;
    request.parent = this;
    request.title = t.Get(QStringLiteral("ExportTitle"));
    request.filters = {t.Get(QString::fromLatin1(filterKeys[index]))};
    request.directory = report_.ExportFolder;
    request.defaultSuffix = QString::fromLatin1(suffixes[index]);
    request.fileName = ProposedFileName(report_.DocumentInfo.Title, request.defaultSuffix);
    const std::optional<QString> path = report_.Dialogs->SaveFileName(request);
    if (!path || path->isEmpty())
        return;
    const TPreparedReport& prepared = report_.PreparedPages();
    QByteArray bytes;
    switch (format) {
    case TExportFormat::Text:
        bytes = ExportText(prepared);
        break;
    case TExportFormat::Pdf:
        bytes = ExportPdf(prepared, report_.DocumentInfo);
        break;
    case TExportFormat::Html:
        bytes = ExportHtml(prepared, report_.DocumentInfo.Title);
        break;
    case TExportFormat::Csv:
        bytes = ExportCsv(prepared);
        break;
    }
    const QString error = WriteExportFile(*path, bytes);
    if (!error.isEmpty()) {
        // The lookup hands "%1" back for the system's message to go in.
        const QString why = DescribeFileError(
            *path, error, [&t](const QString& key) { return t.Get(key, QStringLiteral("%1")); });
        report_.Dialogs->Message({Caption(), t.Get(QStringLiteral("ExportError"), *path, why), MsgIcon::Error,
                                  MsgButtons::Ok, 0, this});
        return;
    }
    report_.ExportFolder = QFileInfo(*path).absolutePath();
}

bool TReportPreview::FindNext(const QString& text) {
    const TPreparedReport& prepared = report_.PreparedPages();
    if (text.isEmpty() || prepared.Pages.empty())
        return false;
    const int pages = static_cast<int>(prepared.Pages.size());
    int page = foundPage_ < 0 ? std::max(0, view_->currentPage() - 1) : foundPage_;
    int box = foundPage_ < 0 ? 0 : foundBox_ + 1;
    // Once round the whole report, starting after the last find.
    for (int step = 0; step <= pages; ++step) {
        const auto& boxes = prepared.Pages[static_cast<size_t>(page)].Boxes;
        for (; box < static_cast<int>(boxes.size()); ++box) {
            if (boxes[static_cast<size_t>(box)].PlainText().contains(text, Qt::CaseInsensitive)) {
                foundPage_ = page;
                foundBox_ = box;
                highlight_ = &boxes[static_cast<size_t>(box)];
                view_->updatePreview();
                GoToPage(page + 1);
                return true;
            }
        }
        page = (page + 1) % pages;
        box = 0;
    }
    return false;
}

void TReportPreview::FindClicked() {
    const QString text = findEdit_->text();
    if (text.isEmpty() || FindNext(text) || !report_.Dialogs)
        return;
    report_.Dialogs->Message({Caption(), report_.Resources.Get(QStringLiteral("TextNotFound"), text),
                              MsgIcon::Information, MsgButtons::Ok, 0, this});
}

// The controls leave F1 to the window, so it reaches here from whichever of them has the focus.
void TReportPreview::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1 && help) {
        help();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace lum1
