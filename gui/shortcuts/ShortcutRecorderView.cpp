#include "gui/shortcuts/ShortcutRecorderView.h"

#include "shared/text/Translation.h"

namespace quillet {

ShortcutRecorderView::ShortcutRecorderView(Binding<QuickCreateShortcut> binding, QWidget* parent)
    : ShortcutRecorderControl(parent), binding_(std::move(binding)) {
    updateFromBinding();
    // A recording that was not stored goes back to the stored shortcut.
    setOnChange([this](const QuickCreateShortcut& shortcut) {
        if (binding_.set) binding_.set(shortcut);
        updateFromBinding();
    });
}

void ShortcutRecorderView::updateFromBinding() {
    if (binding_.get) setShortcut(binding_.get());
}

OptionalShortcutRecorderView::OptionalShortcutRecorderView(Binding<std::optional<QuickCreateShortcut>> binding,
                                                           QWidget* parent)
    : ShortcutRecorderControl(parent), binding_(std::move(binding)) {
    updateFromBinding();
    // A recording that was not stored goes back to the stored shortcut.
    setOnChange([this](const QuickCreateShortcut& shortcut) {
        if (binding_.set) binding_.set(shortcut);
        updateFromBinding();
    });
}

void OptionalShortcutRecorderView::updateFromBinding() {
    setShortcut(binding_.get ? binding_.get() : std::nullopt);
    setPlaceholder(translate(ShortcutRecorderModel::kPlaceholder));
}

}  // namespace quillet
