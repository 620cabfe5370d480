#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "app/shortcuts/HotKeySuspension.h"
#include "app/shortcuts/ShortcutRecorderModel.h"

class QKeyEvent;

namespace quillet {

// The field in which the user sets a key combination: click it (or press Return or Space on it),
// press the combination, and the new shortcut goes to onChange. It draws its model, with a focus
// ring while it has the keyboard, and forwards the keyboard to it. While it records it holds a
// hot key suspension, so a combination Quillet+ has grabbed reaches it.
class ShortcutRecorderControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kIntrinsicWidth = 220;
    static constexpr int kIntrinsicHeight = 32;

    explicit ShortcutRecorderControl(QWidget* parent = nullptr);
    ~ShortcutRecorderControl() override;

    const std::optional<QuickCreateShortcut>& shortcut() const { return model_.shortcut; }
    void setShortcut(const std::optional<QuickCreateShortcut>& shortcut);
    const std::string& placeholder() const { return model_.placeholder; }
    void setPlaceholder(const std::string& placeholder);
    void setOnChange(std::function<void(const QuickCreateShortcut&)> onChange);
    bool isRecording() const { return model_.isRecording; }
    const std::optional<std::string>& message() const { return model_.message; }
    // What is drawn: text, colour and state.
    ShortcutRecorderModel::Appearance appearance() const { return model_.appearance(); }

    // The sound of a refused key; the system beep unless replaced (a test listens here).
    void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

    // Where suspensions of the hot keys come from; none keeps them registered.
    void setHotKeySuspender(HotKeySuspender suspender);
    bool holdsHotKeySuspension() const { return suspension_.isActive(); }

    // A Qt key event in the stored form: the key table's code for the key (none for keypad keys
    // and keys without one) and the Carbon mask of Super, Control, Alt and Shift.
    static RecorderKeyPress keyPress(const QKeyEvent& event);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void changed();

    ShortcutRecorderModel model_;
    std::function<void()> beep_;
    HotKeySuspender suspender_;
    HotKeySuspension suspension_;
    bool watchingClicks_ = false;
};

}  // namespace quillet
