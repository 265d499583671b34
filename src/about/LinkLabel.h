#pragma once
// A label that acts as a link: blue, underlined, a hand cursor, opened by a click or, once it
// has the keyboard focus (Tab reaches it, and a focus frame shows it), by Enter or the space bar.

#include <QLabel>

namespace lum1 {

class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent);
    // A label with a picture instead of text keeps its look; only the cursor shows the link.
    void SetLinkLook(bool textLink);
    // Off: an ordinary label that a click does nothing to.
    void SetActive(bool active);
    bool Active() const { return active_; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    bool active_ = true;
    bool textLink_ = true;
};

} // namespace lum1
