#include "gui/settings/SwitchButton.h"

#include <QFocusEvent>
#include <QPainter>

#include "gui/style/AppStyle.h"

namespace quillet {

using namespace appstyle;

SwitchButton::SwitchButton(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SwitchButton::focusInEvent(QFocusEvent* event) {
    showsFocusRing_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
                      event->reason() == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void SwitchButton::focusOutEvent(QFocusEvent* event) {
    showsFocusRing_ = false;
    QAbstractButton::focusOutEvent(event);
}

void SwitchButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const double dim = isEnabled() ? 1.0 : 0.45;

    const QRectF track((width() - kWidth) / 2.0, (height() - kHeight) / 2.0, kWidth, kHeight);
    const double radius = kHeight / 2.0;
    if (hasFocus() && showsFocusRing_) {
        p.setPen(QPen(withAlpha(accent(pal), 0.55), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(-1.5, -1.5, 1.5, 1.5), radius + 1.5, radius + 1.5);
    }
    // Off, the track is a tint of the text colour, so it shows on light and dark windows alike.
    const QColor trackColor = isChecked() ? accent(pal) : withAlpha(pal.color(QPalette::WindowText), 0.22);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(trackColor, isDown() ? dim * 0.8 : dim));
    p.drawRoundedRect(track, radius, radius);

    const double knob = kHeight - 4;
    const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    const QRectF knobRect(x, track.top() + 2, knob, knob);
    p.setBrush(QColor(0, 0, 0, static_cast<int>(40 * dim)));
    p.drawEllipse(knobRect.translated(0, 0.6));
    p.setBrush(withAlpha(QColor(Qt::white), isEnabled() ? 1.0 : 0.7));
    p.drawEllipse(knobRect);
}

}  // namespace quillet
