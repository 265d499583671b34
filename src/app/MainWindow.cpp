#include "app/MainWindow.h"

#include "about/AboutBox.h"
#include "app/AcceptanceFeatures.h"
#include "app/ArchiveFeatures.h"
#include "app/DeviceLink.h"
#include "app/HelpTopics.h"
#include "app/Icons.h"
#include "app/LotFeatures.h"
#include "app/ResultsGrid.h"
#include "app/StatusStrip.h"
#include "app/WindowBounds.h"
#include "archive/ArchiveSession.h"
#include "device/LibUSB.h"
#include "device/QtExchangeWindow.h"
#include "device/USBExchange.h"
#include "diag/HistoryLine.h"
#include "diag/StatusWindow.h"
#include "lang/ExtraTexts.h"
#include "lang/MessageTable.h"
#include "report/MeasurementReport.h"
#include "results/ResultsFiles.h"
#include "results/ResultsTable.h"
#include "screen/ScreenContext.h"
#include "screen/ScreenshotWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QMoveEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

#include <limits>

namespace lum1 {

namespace {

constexpr int kMinWidth = 400;
constexpr int kMinHeight = 300;
const QString kFormMain = QStringLiteral("FormMain");
const QString kConfig = QStringLiteral("Config");
const QString kDebug = QStringLiteral("Debug");

QSize ScreenSize() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

// X11 key codes of the R and C keys: the shortcuts work whatever keyboard layout is active,
// as the letters are those of the keys, not of the characters they type.
constexpr quint32 kScanR = 27;
constexpr quint32 kScanC = 54;

bool IsKey(const QKeyEvent* e, Qt::Key key, quint32 scanCode) {
    return e->key() == key ||
           (QGuiApplication::platformName() == QLatin1String("xcb") && e->nativeScanCode() == scanCode);
}

} // namespace

TForm1::TForm1(Program& program, IDialogs& dialogs, Hooks hooks)
    : program_(program), dialogs_(dialogs), hooks_(std::move(hooks)),
      table_(std::make_unique<TResultsTable>()) {
    setObjectName(QStringLiteral("Form1"));
    help_ = std::make_unique<THelpLauncher>(THelpLauncher::Context{
        [this] { return program_.HelpFilePath; }, hooks_.openUrl,
        [this](const QString& key) { return GetExtraMessage(program_.Language, key); },
        [this](const QString& text) {
            SetStatusBarGeneral(QString(text).replace(u'\n', u' '));
            dialogs_.Message({applicationTitle_, text, MsgIcon::Warning, MsgButtons::Ok, 0});
        }});
    setMinimumSize(kMinWidth, kMinHeight);
    BuildActions();
    BuildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildToolbar());
    StringGrid1 = new ResultsGrid(central);
    StringGrid1->setModel(table_.get());
    layout->addWidget(StringGrid1, 1);
    StatusBar1 = new StatusStrip(central);
    layout->addWidget(StatusBar1);
    setCentralWidget(central);

    connect(StatusBar1->sbStatus, &QPushButton::clicked, this, [this] { sbStatusClick(); });
    connect(StringGrid1, &ResultsGrid::contextMenuAt, this, [this](const QPoint& globalPos) {
        PopupMenu1Popup();
        PopupMenu1->popup(globalPos);
    });
    connect(StringGrid1, &ResultsGrid::mouseReleased, this, [this] { StringGrid1MouseUp(); });
    connect(StringGrid1, &ResultsGrid::keyReleased, this, [this] { PopupMenu1Popup(); });
    // The grid and the status bar take their new sizes after the window's own resize event,
    // so the layout follows them as well.
    connect(StringGrid1, &ResultsGrid::clientResized, this, [this] { FormResize(); });
    StringGrid1->installEventFilter(this);
    installEventFilter(this);

    TResultsFiles::Callbacks fileCallbacks;
    fileCallbacks.SetStatusBarGeneral = [this](const QString& m) { SetStatusBarGeneral(m); };
    fileCallbacks.ShowRunningCount = [this](const QString& m) {
        StatusBar1->SetPanel0Text(m);
        ProcessEventsWithoutInput(); // no command may run while a file is read or written
    };
    fileCallbacks.ClearTable = [this] { DataClear(); };
    fileCallbacks.TableLoaded = [this] {
        FillDataTable(0);
        PopupMenu1Popup();
    };
    files_ = std::make_unique<TResultsFiles>(
        dialogs_, [this](const QString& key) { return Msg(key); },
        [this] { return program_.Language.EnglishUI(); }, program_.ResultsDir, program_.Store, fileCallbacks);
    report_ = std::make_unique<TMeasurementReport>();
    archive_ = std::make_unique<TArchiveSession>(TArchiveSession::Environment{
        [this] {
            return program_.SettingsIni ? TArchiveSettings::Read(*program_.SettingsIni) : TArchiveSettings{};
        },
        program_.ArchiveDir, [this](const QString& key) { return GetExtraMessage(program_.Language, key); }});

    FormCreate();
    lot_ = std::make_unique<TLotFeatures>(*this, dialogs_);
    acceptance_ = std::make_unique<TAcceptanceFeatures>(*this, dialogs_, *lot_);
    archiveUi_ = std::make_unique<TArchiveFeatures>(*this, dialogs_);
}

TForm1::~TForm1() {
    // QWidget's destructor deletes the grid after this class's part is gone; a resize of the
    // grid meanwhile must not reach this window's handlers any more.
    StringGrid1->disconnect(this);
}

// ---------------------------------------------------------------- construction

void TForm1::BuildActions() {
    auto make = [this](const char* name, int picture, void (TForm1::*handler)()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        if (picture >= 0)
            a->setIcon(ImageListIcon(picture));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    AOpen = make("AOpen", 0, &TForm1::AOpenExecute);
    ASave = make("ASave", 1, &TForm1::ASaveExecute);
    APrint = make("APrint", 5, &TForm1::APrintExecute);
    AExit = make("AExit", 6, &TForm1::AExitExecute);
    ARead = make("ARead", 2, &TForm1::AReadExecute);
    AScreenshot = make("AScreenshot", 3, &TForm1::AScreenshotExecute);
    ARdEEPROM = make("ARdEEPROM", 4, &TForm1::ARdEEPROMExecute);
    ACopyAll = make("ACopyAll", 7, &TForm1::ACopyAllExecute);
    ACopyCtrlC = make("ACopyCtrlC", 7, &TForm1::ACopyCtrlCExecute);
    ALangRus = make("ALangRus", 10, &TForm1::ALangRusExecute);
    ALangEng = make("ALangEng", 9, &TForm1::ALangEngExecute);
    AChmHelp = make("AChmHelp", 11, &TForm1::AChmHelpExecute);
    AAbout = make("AAbout", 12, &TForm1::AAboutExecute);
    ATune = new QAction(this);
    ATune->setObjectName(QStringLiteral("ATune"));
    ALangRus->setCheckable(true);
    ALangEng->setCheckable(true);
    ACopyAll->setEnabled(false);
    ACopyCtrlC->setEnabled(false);
    ARdEEPROM->setVisible(false);
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    itmFile = bar->addMenu(QString());
    itmFile->setObjectName(QStringLiteral("itmFile"));
    itmFile->addAction(AOpen);
    itmFile->addAction(ASave);
    itmFile->addSeparator()->setObjectName(QStringLiteral("N2"));
    itmFile->addAction(APrint);
    itmFile->addSeparator()->setObjectName(QStringLiteral("N3"));
    itmFile->addAction(AExit);

    itmDevice = bar->addMenu(QString());
    itmDevice->setObjectName(QStringLiteral("itmDevice"));
    itmDevice->addAction(ARead);
    itmDevice->addAction(AScreenshot);
    N1 = itmDevice->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    N1->setVisible(false);
    itmDevice->addAction(ARdEEPROM);

    itmEdit = bar->addMenu(QString());
    itmEdit->setObjectName(QStringLiteral("itmEdit"));
    itmEdit->addAction(ACopyAll);
    itmEdit->addAction(ACopyCtrlC);

    itmParam = bar->addMenu(QString());
    itmParam->setObjectName(QStringLiteral("itmParam"));
    itmLang = itmParam->addMenu(QString());
    itmLang->setObjectName(QStringLiteral("itmLang"));
    itmLang->addAction(ALangRus);
    itmLang->addAction(ALangEng);

    itmHelp = bar->addMenu(QString());
    itmHelp->setObjectName(QStringLiteral("itmHelp"));
    itmHelp->addAction(AChmHelp);
    itmHelp->addSeparator()->setObjectName(QStringLiteral("N4"));
    itmHelp->addAction(AAbout);

    // The context menu has items of its own, bound to the copy commands.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    itmPopUpCopyAll = PopupMenu1->addAction(ACopyAll->icon(), QString(), this, [this] { ACopyAllExecute(); });
    itmPopUpCopySelect =
        PopupMenu1->addAction(ACopyCtrlC->icon(), QString(), this, [this] { ACopyCtrlCExecute(); });
    itmPopUpCopyAll->setObjectName(QStringLiteral("itmPopUpCopyAll"));
    itmPopUpCopySelect->setObjectName(QStringLiteral("itmPopUpCopySelect"));
    itmPopUpCopyAll->setEnabled(false);
    itmPopUpCopySelect->setEnabled(false);
    connect(ACopyAll, &QAction::changed, this,
            [this] { itmPopUpCopyAll->setEnabled(ACopyAll->isEnabled()); });
}

QWidget* TForm1::BuildToolbar() {
    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(33);
    struct Group {
        const char* name;
        int left, width;
        std::vector<QAction*> actions;
        std::vector<const char*> buttons;
    };
    const Group groups[] = {
        {"Panel4", 0, 59, {AOpen, ASave}, {"SpeedButtonOpen", "SpeedButtonSave"}},
        {"Panel2", 59, 59, {ARead, AScreenshot}, {"SpeedButtonRead", "SpeedButtonScreenshot"}},
        {"Panel5", 118, 33, {ACopyAll}, {"SpeedButtonCopy"}},
        {"Panel3", 151, 33, {APrint}, {"SpeedButtonPrint"}},
        {"Panel6", 184, 33, {AChmHelp}, {"SpeedButtonHelp"}},
    };
    for (const Group& g : groups) {
        auto* group = new QWidget(panel1);
        group->setObjectName(QString::fromLatin1(g.name));
        group->setGeometry(g.left, 0, g.width, 33);
        for (size_t i = 0; i < g.actions.size(); ++i) {
            auto* b = new QToolButton(group);
            b->setObjectName(QString::fromLatin1(g.buttons[i]));
            b->setDefaultAction(g.actions[i]);
            b->setAutoRaise(true);
            b->setIconSize(QSize(16, 16));
            b->setFocusPolicy(Qt::NoFocus);
            b->setGeometry(i == 0 ? 5 : 33, 6, 23, 22);
        }
    }
    return panel1;
}

void TForm1::FormCreate() {
    // The title before the language is known: the product name in both languages.
    applicationTitle_ = QStringLiteral("LUM-1.2");
    setWindowTitle(applicationTitle_);
    program_.HelpFilePath = program_.ProgramDir + QStringLiteral("/Help/Lum1EngHelp.chm");
    program_.SettingsIni = std::make_unique<TIniFile>(program_.SettingsPath);

    // The language folder: created if missing; on failure the user may retry or go on.
    const QString folder = program_.Language.LanguageFolder();
    while (!QDir(folder).exists() && !QDir().mkpath(folder)) {
        MessageRequest r;
        r.caption = applicationTitle_;
        r.text = QStringLiteral("Не удается создать папку / Can not create folder ") +
                 QDir::toNativeSeparators(folder);
        r.icon = MsgIcon::Question;
        r.buttons = MsgButtons::RetryCancel;
        r.defaultButton = 1;
        if (dialogs_.Message(r) != MsgResult::Retry)
            break;
    }
    program_.LogFilePath = program_.LogDir + QStringLiteral("/LogUSB.log");
    device_ = std::make_unique<DeviceLink>(program_, hooks_.usbLibraryName); // LogBegin
    LoadSettings();
    FormResize();
    DataClear();
    MenuFill();
    TitleFill();
    program_.CreateMyEvents();
    device_->Start(*this, [this](const QString& text) { PrintErrorToStatusBar(text); });
    StartingUp = false;
}

// ---------------------------------------------------------------- settings

void TForm1::LoadSettings() {
    TIniFile& ini = *program_.SettingsIni;
    const QString lang = ini.ReadString(kConfig, QStringLiteral("LangId"), QStringLiteral("First"));
    if (lang == QLatin1String("First")) {
        bool chosen = false;
        try {
            chosen = hooks_.chooseLanguage && hooks_.chooseLanguage(*this);
        } catch (const std::exception&) {
            chosen = false;
        }
        if (!chosen)
            ALangEngExecute();
    } else if (lang == QLatin1String("Rus")) {
        ALangRusExecute();
    } else {
        ALangEngExecute();
    }

    try {
        // A hand-edited count at the largest integer stays there instead of overflowing.
        const int uses = ini.ReadInteger(kConfig, QStringLiteral("Uses"), 0);
        ini.WriteInteger(kConfig, QStringLiteral("Uses"),
                         uses < std::numeric_limits<int>::max() ? uses + 1 : uses);
    } catch (const EIniWriteError& e) {
        ReportWriteError(e);
    }

    const QSize screen = ScreenSize();
    startBounds_ = ReadWindowBounds(ini, kFormMain, QSize(kMinWidth, kMinHeight), screen);
    move(startBounds_.topLeft());
    resize(startBounds_.size());
    startMaximized_ = ini.ReadInteger(kFormMain, QStringLiteral("Maximized"), 0) == 1;
    ARdEEPROM->setVisible(ini.ReadBool(kDebug, QStringLiteral("EEPROM"), false));
    DebugMode = ini.ReadBool(kDebug, QStringLiteral("DebugMode"), false);

    ColWidths read{};
    for (int i = 0; i < GridColumns; ++i)
        read[i] = ini.ReadInteger(kFormMain, QStringLiteral("ColWidth%1").arg(i), NoStoredWidth);
    StoredColWidth = AcceptStoredWidths(read);
}

void TForm1::SaveSettings() {
    TIniFile& ini = *program_.SettingsIni;
    if (isMaximized()) {
        ini.WriteInteger(kFormMain, QStringLiteral("Maximized"), 1);
    } else {
        ini.WriteInteger(kFormMain, QStringLiteral("Maximized"), 0);
        ini.WriteInteger(kFormMain, QStringLiteral("Left"), x());
        ini.WriteInteger(kFormMain, QStringLiteral("Top"), y());
        // The whole window's size, as the stored size is applied.
        ini.WriteInteger(kFormMain, QStringLiteral("Width"), frameGeometry().width());
        ini.WriteInteger(kFormMain, QStringLiteral("Height"), frameGeometry().height());
    }
    for (int i = 0; i < GridColumns; ++i)
        ini.WriteInteger(kFormMain, QStringLiteral("ColWidth%1").arg(i), StoredColWidth[i]);
}

void TForm1::ReportWriteError(const std::exception& e, QWidget* parent) {
    // One box per run: a read-only program folder makes every write fail, and the user needs
    // to hear it once, not at every step.
    if (writeErrorShown_)
        return;
    writeErrorShown_ = true;
    MessageRequest r;
    r.caption = applicationTitle_;
    r.text = QString::fromStdString(e.what());
    r.icon = MsgIcon::Error;
    r.buttons = MsgButtons::Ok;
    r.parent = parent;
    dialogs_.Message(r);
}

// ---------------------------------------------------------------- language

QString TForm1::Msg(const QString& key) {
    try {
        return program_.Language.GetLangMessage(key);
    } catch (const EIniWriteError& e) {
        ReportWriteError(e);
        const MessageRow* row = FindMessageRow(key);
        if (!row)
            return QString();
        return (program_.Language.EnglishUI() ? row->english : row->russian).toString().trimmed();
    }
}

void TForm1::ALangRusExecute() {
    SelectLanguage(false);
}
void TForm1::ALangEngExecute() {
    SelectLanguage(true);
}

void TForm1::SelectLanguage(bool english) {
    program_.Language.Select(english);
    ALangRus->setChecked(!english);
    ALangEng->setChecked(english);
    itmLang->setIcon((english ? ALangEng : ALangRus)->icon());
    try {
        program_.SettingsIni->WriteString(kConfig, QStringLiteral("LangId"),
                                          english ? QStringLiteral("Eng") : QStringLiteral("Rus"));
    } catch (const EIniWriteError& e) {
        ReportWriteError(e); // the choice still holds for this run
    }
    if (!StartingUp)
        SetStatusBarGeneral(Msg(QStringLiteral("MesLangSelect")));
    MenuFill();
    TitleFill();
    // The report preview's texts: its files are written here when missing, as the language
    // files are; each report reads them again.
    report_->frxReport1.Resources.Select(program_.Language.LanguageFolder(), english);
    // Qt's own dialog buttons and file dialogs follow the language.
    if (qtTranslator_) {
        QCoreApplication::removeTranslator(qtTranslator_.get());
        qtTranslator_.reset();
    }
    if (!english) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(t.get());
            qtTranslator_ = std::move(t);
        }
    }
    program_.HelpFilePath = program_.ProgramDir + (english ? QStringLiteral("/Help/Lum1EngHelp.chm")
                                                           : QStringLiteral("/Help/Lum1RusHelp.chm"));
}

void TForm1::MenuFill() {
    applicationTitle_ = Msg(QStringLiteral("Title"));
    setWindowTitle(applicationTitle_);
    QApplication::setApplicationDisplayName(QString());
    itmFile->setTitle(Msg(QStringLiteral("File")));
    itmDevice->setTitle(Msg(QStringLiteral("Device")));
    itmEdit->setTitle(Msg(QStringLiteral("Edit")));
    itmParam->setTitle(Msg(QStringLiteral("Param")));
    itmHelp->setTitle(Msg(QStringLiteral("Help")));
    itmLang->setTitle(Msg(QStringLiteral("Lang")));
    ACopyAll->setText(Msg(QStringLiteral("CopyAll")));
    ACopyCtrlC->setText(Msg(QStringLiteral("CopyCtrlC")));
    itmPopUpCopyAll->setText(Msg(QStringLiteral("CopyAll")));
    itmPopUpCopySelect->setText(Msg(QStringLiteral("CopyCtrlC")));
    AOpen->setText(Msg(QStringLiteral("Open")));
    ASave->setText(Msg(QStringLiteral("Save")));
    APrint->setText(Msg(QStringLiteral("Print")));
    AExit->setText(Msg(QStringLiteral("Exit")));
    ARead->setText(Msg(QStringLiteral("Read")));
    AScreenshot->setText(Msg(QStringLiteral("Screenshot")));
    ARdEEPROM->setText(Msg(QStringLiteral("RdEEPROM")));
    ATune->setText(Msg(QStringLiteral("Tune")));
    ALangRus->setText(Msg(QStringLiteral("LangRus")));
    ALangEng->setText(Msg(QStringLiteral("LangEng")));
    AChmHelp->setText(Msg(QStringLiteral("ChmHelp")));
    AAbout->setText(Msg(QStringLiteral("About")));
    if (lot_)
        lot_->MenuFill();
    if (acceptance_)
        acceptance_->MenuFill();
    if (archiveUi_)
        archiveUi_->MenuFill();
    NameTheControls();
}

// Screen readers and automation find the controls by these names. The toolbar buttons take
// theirs, and their tooltips, from their commands' texts; the rest have no text of the
// language files and are named in the program, in both languages.
void TForm1::NameTheControls() {
    const bool english = program_.Language.EnglishUI();
    auto name = [english](QWidget* w, const char* en, const char* ru) {
        const QString text = english ? QString::fromUtf8(en) : QString::fromUtf8(ru);
        w->setAccessibleName(text);
        w->setToolTip(text);
    };
    name(StringGrid1, "Measurement results", "Результаты измерений");
    name(StringGrid1->viewport(), "Measurement results", "Результаты измерений");
    // The status line's tooltip is its message, which may be longer than the line.
    StatusBar1->sbStatus->setAccessibleName(
        english ? QStringLiteral("Status line: click to show or hide the history")
                : QStringLiteral("Строка состояния: щелчок показывает историю"));
    name(StatusBar1->ProgressBar1, "Progress of the exchange with the gauge", "Ход обмена с прибором");
    name(StatusBar1->ShapeLink, "Link to the gauge: grey idle, green working, red failure",
         "Связь с прибором: серый - ожидание, зелёный - обмен, красный - ошибка");
    for (QToolButton* b : findChild<QWidget*>(QStringLiteral("Panel1"))->findChildren<QToolButton*>())
        if (QAction* a = b->defaultAction()) {
            b->setAccessibleName(a->text());
            b->setToolTip(a->text());
        }
}

// ---------------------------------------------------------------- grid

void TForm1::TitleFill() {
    table_->TitleFill([this](const QString& key) { return Msg(key); });
    if (frmStatus_)
        frmStatus_->setWindowTitle(Msg(QStringLiteral("History")));
}

void TForm1::DataClear() {
    table_->DataClear();
    FormResize();
    TitleFill();
}

void TForm1::FillDataTable(int order) {
    const TRecordTextContext ctx = TRecordTextContext::Fetch([this](const QString& key) { return Msg(key); },
                                                             program_.Language.EnglishUI());
    // The window repaints between rows, but at most every 15 ms: repainting after each of 2500
    // rows would take seconds, while the window looks just as alive this way.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    table_->FillDataTable(order, program_.Store, ctx, [&sinceEvents] {
        if (sinceEvents.elapsed() >= 15) {
            ProcessEventsWithoutInput();
            sinceEvents.restart();
        }
    });
}

QMargins TForm1::FrameMargins() const {
    const QRect whole = frameGeometry(), inside = geometry();
    return QMargins(inside.left() - whole.left(), inside.top() - whole.top(), whole.right() - inside.right(),
                    whole.bottom() - inside.bottom());
}

void TForm1::FitStoredWholeSize() {
    if (wholeSizeFitted_ || !isVisible() || isMaximized())
        return;
    const QMargins frame = FrameMargins();
    if (frame.isNull())
        return; // not framed yet; without a window manager, never: the inside is the whole
    wholeSizeFitted_ = true;
    resize(ClientSizeForWhole(startBounds_.size(), frame, ScreenSize(), minimumSize()));
}

void TForm1::FormResize() {
    // The whole window, frame included, is kept within the screen.
    const QSize screen = ScreenSize();
    const QSize whole = frameGeometry().size();
    if (!isMaximized() && (whole.width() > screen.width() || whole.height() > screen.height()))
        resize(ClientSizeForWhole(whole, FrameMargins(), screen, minimumSize()));

    StatusStrip& bar = *StatusBar1;
    bar.panelWidth[1] = 140;
    bar.panelWidth[0] = std::max(bar.width() - bar.panelWidth[1] - bar.panelWidth[2] - 20, 0);
    bar.Layout();

    const ColWidths w = ComputeColumnWidths(StoredColWidth, StringGrid1->ClientWidth());
    // Stored widths belong to column places: a column the user moved takes the width of the
    // place it now stands in.
    const std::vector<int> order = StringGrid1->VisualColumnOrder();
    std::vector<int> byLogical(GridColumns, 0);
    for (int v = 0; v < GridColumns && v < static_cast<int>(order.size()); ++v)
        byLogical[order[v]] = w[v];
    StringGrid1->SetColumnWidths(byLogical);

    if (frmStatus_ && frmStatus_->DockStateValue() != 0)
        frmStatus_->TimerSaveFormParamTimer();
}

void TForm1::StringGrid1MouseUp() {
    const std::vector<int> order = StringGrid1->VisualColumnOrder();
    const std::vector<int> widths = StringGrid1->ColumnWidths();
    ColWidths current{};
    for (int v = 0; v < GridColumns && v < static_cast<int>(order.size()); ++v)
        current[v] = widths[static_cast<size_t>(order[v])];
    StoredColWidth = StoredWidthsFromGrid(StoredColWidth, current);
    PopupMenu1Popup();
}

void TForm1::PopupMenu1Popup() {
    const bool any = program_.Store.RecordCount.load() != 0;
    ACopyAll->setEnabled(any);
    const auto [first, last] = StringGrid1->SelectedVisualRows();
    ACopyCtrlC->setEnabled(first != last);
    itmPopUpCopySelect->setEnabled(any && ACopyCtrlC->isEnabled());
}

void TForm1::CopyVisualRows(int firstVisual, int lastVisual, bool withTitles) {
    std::vector<int> rows;
    if (withTitles) {
        rows.push_back(0);
        rows.push_back(1);
    }
    const std::vector<int> visualRows = StringGrid1->VisualRowOrder();
    for (int v = std::max(firstVisual, 0); v <= lastVisual && v < static_cast<int>(visualRows.size()); ++v)
        rows.push_back(visualRows[v] + 2);
    const QString text = table_->CopyText(rows, StringGrid1->VisualColumnOrder());
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TForm1::ACopyAllExecute() {
    if (auto lock = LockStoreForCommand(); lock.owns_lock())
        CopyVisualRows(0, table_->rowCount() - 1, true);
}

void TForm1::ACopyCtrlCExecute() {
    auto lock = LockStoreForCommand();
    if (!lock.owns_lock())
        return;
    const auto [first, last] = StringGrid1->SelectedVisualRows();
    if (first >= 0)
        CopyVisualRows(first, last, false);
}

// ---------------------------------------------------------------- status line

void TForm1::SetStatusBarGeneral(const QString& message) {
    const QTime now = QTime::currentTime();
    StatusBar1->SetPanel0Text(message);
    if (frmStatus_)
        frmStatus_->AddLine(HistoryLine(now, message));
    // Painted at once; a key or click pressed meanwhile runs its command after this one.
    ProcessEventsWithoutInput();
}

void TForm1::AddHistoryLine(const QString& message) {
    if (frmStatus_)
        frmStatus_->AddLine(HistoryLine(QTime::currentTime(), message));
}

void TForm1::PrintErrorToStatusBar(const QString& message) {
    auto apply = [this, message] {
        StatusBar1->SetPanel0Text(message);
        StatusBar1->ProgressBar1->hide();
    };
    if (QThread::currentThread() == thread())
        apply();
    else
        QMetaObject::invokeMethod(this, apply, Qt::QueuedConnection);
}

void TForm1::CreateStatusWindow() {
    const QSize screen = ScreenSize();
    const int h =
        program_.SettingsIni->ReadInteger(QStringLiteral("frmStatus"), QStringLiteral("Height"), 150);
    frmStatus_ = std::make_unique<TfrmStatus>(this, std::max(h, 60), screen.height());
    frmStatus_->onHelp = [this] { OpenHelpAt(QString::fromLatin1(HelpTopic::Messages)); };
    frmStatus_->activatedCaption = [this] { return Msg(QStringLiteral("History")); };
    if (DebugMode) {
        SetStatusBarGeneral(QDir::toNativeSeparators(program_.ProgramDir));
        // An installed program keeps its users' files elsewhere: say where.
        for (const QString& line : program_.FolderLines)
            SetStatusBarGeneral(line);
    }
}

void TForm1::sbStatusClick() {
    if (frmStatus_)
        frmStatus_->ToggleFromStatusLine(ScreenSize().height());
}

// ---------------------------------------------------------------- exchange thread updates

void TForm1::SyncStatus(const TStatusMessage& message) {
    SetStatusBarGeneral(StatusText(message, [this](const QString& key) { return Msg(key); }));
}

void TForm1::SyncProgressStart() {
    StatusBar1->ProgressBar1->setValue(0);
    StatusBar1->ProgressBar1->show();
}

void TForm1::SyncProgress(int position) {
    StatusBar1->ProgressBar1->setValue(position);
}

void TForm1::SyncProgressHide() {
    StatusBar1->ProgressBar1->hide();
}

void TForm1::SyncLink(TLinkColour colour) {
    static const QColor colours[] = {Qt::white, QColor(0x80, 0x80, 0x80), QColor(0x00, 0xff, 0x00),
                                     QColor(0xff, 0x00, 0x00)};
    StatusBar1->ShapeLink->SetBrushColor(colours[static_cast<int>(colour)]);
    StatusBar1->ShapeLink->repaint();
}

void TForm1::SyncDataClear() {
    DataClear();
}

void TForm1::SyncFillTable() {
    FillDataTable(0);
}

// ---------------------------------------------------------------- window events

void TForm1::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    FitStoredWholeSize();
    FormResize();
}

void TForm1::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    FitStoredWholeSize(); // the window manager's framing moves the inside
    if (frmStatus_ && isVisible()) {
        const QPoint d = e->pos() - e->oldPos();
        frmStatus_->MainWindowMoved(d.x(), d.y());
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && (watched == this || watched == StringGrid1))
        if (FormKeyDown(static_cast<QKeyEvent*>(e)))
            return true;
    return QMainWindow::eventFilter(watched, e);
}

bool TForm1::FormKeyDown(QKeyEvent* e) {
    const Qt::KeyboardModifiers m = e->modifiers();
    if (e->key() == Qt::Key_F1) {
        OpenHelpAt(QString::fromLatin1(HelpTopic::MainWindow));
        return true;
    }
    if (IsKey(e, Qt::Key_R, kScanR) && (m & (Qt::ControlModifier | Qt::AltModifier))) {
        AReadExecute();
        return true;
    }
    if (IsKey(e, Qt::Key_C, kScanC) && (m & Qt::ControlModifier)) {
        ACopyCtrlCExecute();
        return true;
    }
    return false;
}

void TForm1::closeEvent(QCloseEvent* e) {
    FormClose();
    e->accept();
}

void TForm1::FormClose() {
    if (closing_)
        return;
    closing_ = true;
    if (archiveUi_)
        archiveUi_->Stop(); // an import ends after the file under way
    device_->Stop();
    // The exchange thread may still log (a day change re-reads the log switch) while the
    // settings are saved and released: from here on the log keeps the switch it has.
    device_->SettingsReleased();
    program_.CloseMyEvents();
    if (program_.SettingsIni) {
        try {
            SaveSettings();
        } catch (const EIniWriteError& err) {
            ReportWriteError(err);
        }
    }
    program_.SettingsIni.reset();
    if (!device_->WaitForEnd()) {
        if (hooks_.endProcess)
            hooks_.endProcess(1);
        return;
    }
    if (frmStatus_) {
        frmStatus_->SetDockState(0);
        frmStatus_->hide();
    }
    frmStatus_.reset();
    if (hooks_.endProcess)
        hooks_.endProcess(0);
}

// ---------------------------------------------------------------- commands

// While a device read is storing records, the commands that read or replace the store wait
// for it to end instead of seeing half an archive; the lock keeps a read from starting to fill
// the store while such a command runs its dialogs.
TStoreHold TForm1::LockStoreForCommand() {
    auto lock = device_->LockStore();
    if (!lock.owns_lock())
        QApplication::beep();
    return lock;
}

void TForm1::AOpenExecute() {
    if (auto lock = LockStoreForCommand(); lock.owns_lock())
        files_->AOpenExecute();
}

void TForm1::OpenFileAtStart(const QString& fileName) {
    if (auto lock = LockStoreForCommand(); lock.owns_lock())
        files_->OpenFile(fileName);
}

void TForm1::ASaveExecute() {
    if (auto lock = LockStoreForCommand(); lock.owns_lock())
        files_->ASaveExecute();
}
void TForm1::APrintExecute() {
    if (program_.Store.RecordCount.load() == 0 || !table_->ShowsRecords())
        return;
    auto lock = LockStoreForCommand();
    if (!lock.owns_lock())
        return;
    // The report prints the rows and columns where the user sees them, at their widths there.
    const std::vector<int> rows = StringGrid1->VisualRowOrder();
    const std::vector<int> columns = StringGrid1->VisualColumnOrder();
    const std::vector<int> widths = StringGrid1->ColumnWidths();
    TReportGrid grid;
    grid.RowCount = table_->GridRowCount();
    grid.Cell = [this, &rows, &columns](int column, int gridRow) {
        const int visual = gridRow - TResultsTable::TitleRows;
        if (column < 0 || column >= static_cast<int>(columns.size()) || visual < 0 ||
            visual >= static_cast<int>(rows.size()))
            return QString();
        return table_->Cell(columns[static_cast<size_t>(column)],
                            rows[static_cast<size_t>(visual)] + TResultsTable::TitleRows);
    };
    for (int c = 0; c < ReportColumns && c < static_cast<int>(columns.size()); ++c)
        grid.ColWidths[static_cast<size_t>(c)] = widths[static_cast<size_t>(columns[static_cast<size_t>(c)])];
    const auto [first, last] = StringGrid1->SelectedVisualRows();
    grid.SelectionTop = first + TResultsTable::TitleRows;
    grid.SelectionBottom = last + TResultsTable::TitleRows;

    TReportEnvironment environment;
    environment.Dialogs = &dialogs_;
    environment.GetLangMessage = [this](const QString& key) { return Msg(key); };
    environment.SetStatusBarGeneral = [this](const QString& m) { SetStatusBarGeneral(m); };
    environment.ApplicationTitle = applicationTitle_;
    environment.LanguageFolder = program_.Language.LanguageFolder();
    environment.EnglishUI = program_.Language.EnglishUI();
    environment.Parent = this;
    environment.Settings = program_.SettingsIni.get();
    environment.Help = [this] { OpenHelpAt(QString::fromLatin1(HelpTopic::Report)); };
    report_->APrintExecute(program_.Store.RecordCount.load(), grid, environment);
}
void TForm1::AExitExecute() {
    close();
}
void TForm1::AReadExecute() {
    TUSBExchange* exchange = device_->Exchange();
    if (!exchange || closing_)
        return;
    SetStatusBarGeneral(Msg(QStringLiteral("MesReadFromDevice")));
    const bool read = exchange->AReadExecute(ProcessWindowEvents);
    PopupMenu1Popup();
    if (read && !closing_)
        ArchiveRead(exchange->ParamText());
}
void TForm1::ArchiveRead(const QString& paramText) {
    TArchiveSession::TNotice notice;
    {
        // A read that begins meanwhile waits until the records are in the archive.
        const TStoreHold hold = device_->LockStore();
        if (!hold.owns_lock())
            return;
        const auto count = static_cast<size_t>(program_.Store.RecordCount.load());
        notice = archive_->ArchiveRead({program_.Store.Records.data(), count}, paramText);
    }
    for (const QString& line : notice.History)
        AddHistoryLine(line);
    if (!notice.Box.isEmpty())
        dialogs_.Message({applicationTitle_, notice.Box, MsgIcon::Warning, MsgButtons::Ok, 0});
    if (archiveUi_)
        archiveUi_->ArchiveChanged();
}
void TForm1::AScreenshotExecute() {
    if (closing_)
        return;
    if (!screenContext_) {
        screenContext_ = std::make_unique<TScreenContext>();
        TScreenContext& c = *screenContext_;
        c.ProgramDir = program_.PicturesDir; // Screenshot.bmp: the program folder of a portable copy
        c.Dialogs = &dialogs_;
        c.Msg = [this](const QString& key) { return Msg(key); };
        c.Extra = [this](const QString& key) { return GetExtraMessage(program_.Language, key); };
        c.EnglishUI = [this] { return program_.Language.EnglishUI(); };
        c.Settings = [this] { return program_.SettingsIni.get(); };
        c.ReportWriteError = [this](const std::exception& e, QWidget* parent) {
            ReportWriteError(e, parent);
        };
        c.SetStatusBarGeneral = [this](const QString& m) { SetStatusBarGeneral(m); };
        c.Help = [this] { OpenHelpAt(QString::fromLatin1(HelpTopic::Screen)); };
        c.ApplicationTitle = [this] { return applicationTitle_; };
        c.Exchange = [this] { return closing_ ? nullptr : device_->Exchange(); };
        c.DeviceV2 = &device_->LibUSB().DeviceV2;
    }
    // A new window each time; it reads the gauge's screen at once.
    auto* window = new TfrmScreenshot(*screenContext_, this);
    screenContext_->frmScreenshot = window;
    window->show();
    window->BtnGetPictureClick();
}
void TForm1::ARdEEPROMExecute() {
    TUSBExchange* exchange = device_->Exchange();
    if (!exchange || closing_)
        return;
    exchange->ARdEEPROMExecute(ProcessWindowEvents);
}
void TForm1::AAboutExecute() {
    TAboutContext about;
    about.Msg = [this](const QString& key) { return Msg(key); };
    about.EnglishUI = program_.Language.EnglishUI();
    about.Help = [this] { OpenHelpAt(QString::fromLatin1(HelpTopic::About)); };
    about.OpenUrl = [this](const QUrl& url) { help_->OpenLink(url); };
    about.VendorFilePath = program_.ProgramDir + u'/' + QLatin1String(VendorFileName);
    TAboutBox AboutBox(std::move(about), this);
    AboutBox.exec();
}

void TForm1::AChmHelpExecute() {
    help_->OpenManual(QString());
}

void TForm1::OpenHelpAt(const QString& section) {
    help_->OpenManual(section);
}

} // namespace lum1
