#pragma once

#include <QWidget>

#include "app/shortcuts/HotKeySuspension.h"
#include "app/shortcuts/ShortcutSettingsModel.h"

class QLabel;
class QToolButton;

namespace quillet {

class OptionalShortcutRecorderView;

// One file type's direct shortcut: its symbol, name and status, a recorder and a clear button.
class DirectFileShortcutRow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRecorderWidth = 180;

    DirectFileShortcutRow(FileTypeDefinition type, ShortcutSettingsModel& model, const HotKeySuspender& suspender,
                          QWidget* parent = nullptr);

    const FileTypeDefinition& type() const { return type_; }
    // Reads the type's shortcut and status from the model again.
    void refresh();

    QLabel* statusLabel() const { return status_; }
    OptionalShortcutRecorderView* recorder() const { return recorder_; }
    QToolButton* clearButton() const { return clear_; }
    bool statusIsConflict() const { return statusIsConflict_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColors();

    FileTypeDefinition type_;
    ShortcutSettingsModel& model_;
    QLabel* icon_ = nullptr;
    QLabel* status_ = nullptr;
    OptionalShortcutRecorderView* recorder_ = nullptr;
    QToolButton* clear_ = nullptr;
    bool statusIsConflict_ = false;
};

}  // namespace quillet
