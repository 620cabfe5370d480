#pragma once

#include <QAbstractButton>

namespace quillet {

// An on/off switch: a rounded track, filled with the accent colour when on, and a round knob.
// Checkable; it toggles on a click or the space bar. It shows no text: the row beside it names
// what it switches, and its accessible name says the same to assistive technology.
class SwitchButton final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 38;
    static constexpr int kHeight = 22;

    explicit SwitchButton(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {kWidth + 4, kHeight + 4}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    // The focus ring shows only when the keyboard brought the focus, not on a click or when the
    // window first opens.
    bool showsFocusRing_ = false;
};

}  // namespace quillet
