#include "gui/shortcuts/ShortcutRecorderControl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "gui/shortcuts/ShortcutStyle.h"
#include "gui/style/AppStyle.h"
#include "platform/KeyCodeMapping.h"

namespace quillet {

namespace {

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_Mode_switch:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            return true;
        default:
            return false;
    }
}

// The text at the recorder's size, made smaller (down to 11) before it is elided, so that a
// combination with all four modifiers still reads whole in the narrow rows.
QFont fittedFont(const QString& text, int width) {
    QFont font = shortcutstyle::monospacedFont(13);
    for (int size = 13; size > 11 && QFontMetrics(font).horizontalAdvance(text) > width; --size)
        font = shortcutstyle::monospacedFont(size - 1);
    return font;
}

}  // namespace

ShortcutRecorderControl::ShortcutRecorderControl(QWidget* parent) : QWidget(parent), beep_(&QApplication::beep) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);  // keys, not composed text
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    changed();
}

ShortcutRecorderControl::~ShortcutRecorderControl() {
    if (watchingClicks_) qApp->removeEventFilter(this);
}

QSize ShortcutRecorderControl::sizeHint() const { return {kIntrinsicWidth, kIntrinsicHeight}; }
QSize ShortcutRecorderControl::minimumSizeHint() const { return {kIntrinsicWidth, kIntrinsicHeight}; }

void ShortcutRecorderControl::setShortcut(const std::optional<QuickCreateShortcut>& shortcut) {
    if (shortcut == model_.shortcut) return;
    model_.shortcut = shortcut;
    changed();
}

void ShortcutRecorderControl::setPlaceholder(const std::string& placeholder) {
    if (placeholder == model_.placeholder) return;
    model_.placeholder = placeholder;
    changed();
}

void ShortcutRecorderControl::setOnChange(std::function<void(const QuickCreateShortcut&)> onChange) {
    model_.onChange = std::move(onChange);
}

void ShortcutRecorderControl::setHotKeySuspender(HotKeySuspender suspender) {
    suspender_ = std::move(suspender);
    suspension_.end();
    changed();
}

void ShortcutRecorderControl::changed() {
    // The hot keys are released only while recording: a shortcut just recorded is registered
    // the moment recording ends, whether or not the field keeps the focus.
    if (model_.isRecording && suspender_ && !suspension_.isActive())
        suspension_ = suspender_();
    else if (!model_.isRecording)
        suspension_.end();
    setAccessibleDescription(QString::fromStdString(model_.appearance().text));
    update();
}

RecorderKeyPress ShortcutRecorderControl::keyPress(const QKeyEvent& event) {
    RecorderKeyPress press;
    press.isModifierKey = isModifierKey(event.key());
    press.carbonModifiers = carbonModifiersFromQtModifiers(static_cast<uint32_t>(event.modifiers().toInt()));
    // The keypad's digits and operators report the main keys' Qt codes; a shortcut stored for
    // those would be grabbed on the main keys, so keypad keys have no code.
    if (!event.modifiers().testFlag(Qt::KeypadModifier)) press.keyCode = keyCodeForQtKey(event.key());
    return press;
}

bool ShortcutRecorderControl::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // While recording every combination is the recorder's, not a menu's; while idle only
            // the keys that start recording are.
            if (model_.takesKey(keyPress(*static_cast<QKeyEvent*>(event)))) {
                event->accept();
                return true;
            }
            return QWidget::event(event);
        case QEvent::KeyPress:
            // While recording, Tab and Backtab would otherwise move the focus before
            // keyPressEvent sees them; while idle they move it, as everywhere.
            if (!model_.isRecording) return QWidget::event(event);
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        default:
            return QWidget::event(event);
    }
}

void ShortcutRecorderControl::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat() && model_.isRecording) return;  // a held key records once
    switch (model_.keyDown(keyPress(*event))) {
        case ShortcutRecorderModel::PressResult::passed:
            event->ignore();  // to the window, as any control passes a key it has no use for
            return;
        case ShortcutRecorderModel::PressResult::needsModifier:
        case ShortcutRecorderModel::PressResult::unsupportedKey:
            if (beep_) beep_();
            break;
        case ShortcutRecorderModel::PressResult::ignored:
            return;
        case ShortcutRecorderModel::PressResult::movesOn:
            changed();
            focusNextPrevChild(event->key() != Qt::Key_Backtab && !event->modifiers().testFlag(Qt::ShiftModifier));
            return;
        case ShortcutRecorderModel::PressResult::started:
        case ShortcutRecorderModel::PressResult::cancelled:
        case ShortcutRecorderModel::PressResult::recorded:
            break;
    }
    changed();
}

void ShortcutRecorderControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    setFocus(Qt::MouseFocusReason);
    model_.click();
    changed();
}

void ShortcutRecorderControl::focusInEvent(QFocusEvent* event) {
    if (!watchingClicks_) {
        qApp->installEventFilter(this);
        watchingClicks_ = true;
    }
    update();  // the focus ring
    QWidget::focusInEvent(event);
}

void ShortcutRecorderControl::focusOutEvent(QFocusEvent* event) {
    if (watchingClicks_) {
        qApp->removeEventFilter(this);
        watchingClicks_ = false;
    }
    model_.resignFocus();
    suspension_.end();
    changed();
    QWidget::focusOutEvent(event);
}

// A click anywhere else ends recording, even on something that takes no focus of its own (a
// label, the window's background), which Qt alone would not count as leaving the field.
bool ShortcutRecorderControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched != this && watched->isWidgetType()) {
        auto* target = static_cast<QWidget*>(watched);
        if (!isAncestorOf(target) && hasFocus()) clearFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void ShortcutRecorderControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const ShortcutRecorderModel::Appearance look = model_.appearance();
    const QColor accent = appstyle::accent(pal);

    const QRectF inner = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // The 2-point border stays inside the field instead of being cut at its edge.
    const QRectF outline = look.isRecording ? inner.adjusted(0.5, 0.5, -0.5, -0.5) : inner;
    QPainterPath shape;
    shape.addRoundedRect(outline, 6, 6);
    p.fillPath(shape, look.isRecording ? appstyle::withAlpha(accent, 0.14) : shortcutstyle::fieldBackground(pal));
    p.strokePath(shape, look.isRecording ? QPen(accent, 2) : QPen(appstyle::separator(pal), 1));
    if (hasFocus() && !look.isRecording) {
        // The focus ring of an idle field: the accent, fainter than the recording border.
        QPainterPath ring;
        ring.addRoundedRect(inner.adjusted(1, 1, -1, -1), 5, 5);
        p.strokePath(ring, QPen(appstyle::withAlpha(accent, 0.6), 2));
    }

    const QString text = QString::fromStdString(look.text);
    const int textWidth = static_cast<int>(inner.width()) - 20;
    const QFont font = fittedFont(text, textWidth);
    const QFontMetrics metrics(font);
    const QRectF textRect(inner.left() + 10, inner.center().y() - metrics.height() / 2.0, textWidth, metrics.height());
    p.setFont(font);
    p.setPen(look.usesLabelColor ? shortcutstyle::fieldLabel(pal) : shortcutstyle::fieldSecondaryLabel(pal));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(text, Qt::ElideRight, textWidth));
}

}  // namespace quillet
