#pragma once
// The main window's status bar: the message area (a flat button that opens the message
// history), the exchange progress bar, the round link indicator and a free panel.

#include <QWidget>

class QProgressBar;
class QPushButton;

namespace lum1 {

// The link indicator: a small filled circle.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);
    void SetBrushColor(const QColor& c);
    QColor BrushColor() const { return color_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_ = Qt::white;
};

class StatusStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int BarHeight = 19;
    explicit StatusStrip(QWidget* parent = nullptr);

    QPushButton* sbStatus;
    QProgressBar* ProgressBar1;
    TShape* ShapeLink;

    QString Panel0Text() const;
    void SetPanel0Text(const QString& text);

    // Panel widths as the window's resize handler sets them.
    int panelWidth[4] = {100, 135, 20, 50};
    void Layout();

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace lum1
