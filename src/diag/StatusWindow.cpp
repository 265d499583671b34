#include "diag/StatusWindow.h"

#include "diag/DockLogic.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace lum1 {

namespace {
// A long-running program keeps the newest history lines; older ones are dropped so the
// history never grows without bound.
constexpr int kMaxHistoryLines = 20000;
} // namespace

QRect WholeWindowRect(const QWidget* w) {
    return w->frameGeometry();
}

void SetWholeWindowRect(QWidget* w, const QRect& r) {
    const QRect frame = w->frameGeometry(), client = w->geometry();
    const int extraW = frame.width() - client.width(), extraH = frame.height() - client.height();
    w->move(r.topLeft());
    w->resize(r.width() - extraW, r.height() - extraH);
}

TfrmStatus::TfrmStatus(QWidget* mainWindow, int height, int screenHeight)
    : QWidget(nullptr,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      main_(mainWindow), Memo1(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmStatus"));
    setWindowTitle(QStringLiteral("История сообщений в статус-строке"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setMaximumBlockCount(kMaxHistoryLines);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    // The stored height is the whole window's; until the window manager has framed the window
    // the inside stands for it (FitWholeHeight corrects it then).
    wholeHeight_ = std::min(height, screenHeight);
    resize(622, wholeHeight_);
    TimerSaveFormParam.setSingleShot(true);
    connect(&TimerSaveFormParam, &QTimer::timeout, this, [this] { TimerSaveFormParamTimer(); });
}

void TfrmStatus::AddLine(const QString& line) {
    Memo1->appendPlainText(line);
}

QString TfrmStatus::Text() const {
    return Memo1->toPlainText();
}

QRect TfrmStatus::WindowRect() const {
    return WholeWindowRect(this);
}

void TfrmStatus::SetWindowRect(const QRect& r) {
    ++ownMoves_;
    SetWholeWindowRect(this, r);
    --ownMoves_;
}

void TfrmStatus::RestartTimer() {
    TimerSaveFormParam.stop();
    TimerSaveFormParam.start(1000);
}

void TfrmStatus::CheckDockedState() {
    RestartTimer();
    dockState_ = ComputeDockState(WindowRect(), WholeWindowRect(main_));
}

void TfrmStatus::TimerSaveFormParamTimer() {
    TimerSaveFormParam.stop();
    if (dockState_ == DockState::None)
        return;
    SetWindowRect(SnapRect(dockState_, WindowRect(), WholeWindowRect(main_)));
}

void TfrmStatus::ToggleFromStatusLine(int screenHeight) {
    if (isVisible()) {
        hide();
        dockState_ = DockState::None;
        return;
    }
    const ShowPlacement p = PlaceForShow(WindowRect(), WholeWindowRect(main_), screenHeight);
    dockState_ = p.dockState;
    if (p.dockState != DockState::None)
        SetWindowRect(p.rect);
    show();
    TimerSaveFormParamTimer();
}

void TfrmStatus::MainWindowMoved(int dx, int dy) {
    RestartTimer();
    if (dockState_ != DockState::None)
        SetWindowRect(WindowRect().translated(dx, dy));
    else if (isVisible())
        CheckDockedState();
}

void TfrmStatus::FitWholeHeight() {
    if (heightFitted_ || !isVisible())
        return;
    const int frameHeight = frameGeometry().height() - geometry().height();
    if (frameHeight <= 0)
        return; // not framed yet, or no window manager: the inside is the whole window
    heightFitted_ = true;
    ++ownMoves_;
    resize(width(), std::max(wholeHeight_ - frameHeight, 60));
    --ownMoves_;
}

void TfrmStatus::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    FitWholeHeight();
    if (ownMoves_ == 0 && isVisible())
        CheckDockedState();
}

void TfrmStatus::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    FitWholeHeight();
    if (ownMoves_ == 0 && isVisible())
        CheckDockedState();
}

void TfrmStatus::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (activatedCaption)
        setWindowTitle(activatedCaption());
}

void TfrmStatus::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && activatedCaption)
        setWindowTitle(activatedCaption());
}

void TfrmStatus::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1 && onHelp) {
        onHelp();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool TfrmStatus::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Memo1 && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1 && onHelp) {
        onHelp();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace lum1
