#pragma once

#include <functional>
#include <optional>

#include "gui/shortcuts/ShortcutRecorderControl.h"

namespace quillet {

// A two-way binding: where a view reads its value and where it writes a new one.
template <typename T>
struct Binding {
    std::function<T()> get;
    std::function<void(const T&)> set;
};

// A recorder bound to a shortcut that always exists (the Quick Create shortcut).
class ShortcutRecorderView final : public ShortcutRecorderControl {
    Q_OBJECT
public:
    explicit ShortcutRecorderView(Binding<QuickCreateShortcut> binding, QWidget* parent = nullptr);
    // Shows the binding's current value.
    void updateFromBinding();

private:
    Binding<QuickCreateShortcut> binding_;
};

// A recorder bound to a shortcut that may be absent (a file type's direct shortcut); absent
// shows "Set Shortcut". Removing the shortcut is the owner's clear button's job.
class OptionalShortcutRecorderView final : public ShortcutRecorderControl {
    Q_OBJECT
public:
    explicit OptionalShortcutRecorderView(Binding<std::optional<QuickCreateShortcut>> binding,
                                          QWidget* parent = nullptr);
    void updateFromBinding();

private:
    Binding<std::optional<QuickCreateShortcut>> binding_;
};

}  // namespace quillet
