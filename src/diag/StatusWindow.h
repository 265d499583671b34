#pragma once
// The message history window: every status message with its time, docking to any edge of
// the main window and following it.

#include <QTimer>
#include <QWidget>

#include <functional>

class QPlainTextEdit;

namespace lum1 {

class TfrmStatus : public QWidget {
    Q_OBJECT
public:
    // mainWindow: the window it docks to. height: [frmStatus] Height (already read).
    TfrmStatus(QWidget* mainWindow, int height, int screenHeight);

    void AddLine(const QString& line);
    QString Text() const;

    int DockStateValue() const { return dockState_; }
    void SetDockState(int state) { dockState_ = state; }

    void CheckDockedState();
    void TimerSaveFormParamTimer();
    void RestartTimer();

    // Shows or hides the window from a click on the status line.
    void ToggleFromStatusLine(int screenHeight);
    // The main window is about to move by (dx, dy): follow it when docked, else check
    // whether it now touches.
    void MainWindowMoved(int dx, int dy);

    // Whole-window rectangles (frame included) in screen pixels.
    QRect WindowRect() const;
    void SetWindowRect(const QRect& r);

    std::function<void()> onHelp; // F1
    QTimer TimerSaveFormParam;

protected:
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;

public:
    std::function<QString()> activatedCaption; // FormActivate: the History text

private:
    QWidget* main_;
    QPlainTextEdit* Memo1;
    int dockState_ = 0;
    int ownMoves_ = 0; // moves and resizes made by the program, not by the user
    // The stored height, the whole window's (title bar included), at most the screen's.
    void FitWholeHeight();
    int wholeHeight_ = 0;
    bool heightFitted_ = false;
};

QRect WholeWindowRect(const QWidget* w);
void SetWholeWindowRect(QWidget* w, const QRect& r);

} // namespace lum1
