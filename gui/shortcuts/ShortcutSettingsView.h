#pragma once

#include <QWidget>

#include <vector>

#include "app/observation/Subscription.h"
#include "app/shortcuts/HotKeySuspension.h"
#include "app/shortcuts/ShortcutSettingsModel.h"

class QAbstractButton;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace quillet {

class DestinationPickerControl;
class DirectFileShortcutRow;
class ShortcutRecorderView;

// The shortcuts card: the Quick Create shortcut with its conflict and reset button, and a
// collapsible section with the direct shortcuts' destination and one row per file type. It
// redraws whenever the model tells of a change, wherever the change was made. Where the model
// has an availability note, a line under the title says the shortcuts cannot work. The model
// outlives the card.
class ShortcutSettingsView final : public QWidget {
    Q_OBJECT
public:
    // `suspender` reaches the hot key manager, so recorders receive combinations Quillet+ holds.
    explicit ShortcutSettingsView(ShortcutSettingsModel& model, HotKeySuspender suspender = {},
                                  QWidget* parent = nullptr);
    ~ShortcutSettingsView() override;

    bool showsDirectShortcuts() const { return showsDirectShortcuts_; }
    void setShowsDirectShortcuts(bool shows);

    ShortcutRecorderView* quickCreateRecorder() const { return quickCreateRecorder_; }
    QLabel* quickCreateConflictLabel() const { return quickCreateConflict_; }
    // Null where the shortcuts work.
    QLabel* availabilityNoteLabel() const { return availabilityNote_; }
    QToolButton* resetButton() const { return reset_; }
    QAbstractButton* directShortcutsToggle() const { return disclosure_; }
    // Null while the section is collapsed.
    DestinationPickerControl* destinationPicker() const { return destinationPicker_; }
    // Empty while the section is collapsed.
    const std::vector<DirectFileShortcutRow*>& rows() const { return rows_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildDirectSection();
    void refresh();
    void applyColors();

    ShortcutSettingsModel& model_;
    HotKeySuspender suspender_;
    bool showsDirectShortcuts_ = false;
    QLabel* quickCreateIcon_ = nullptr;
    QLabel* quickCreateConflict_ = nullptr;
    QLabel* availabilityNote_ = nullptr;
    ShortcutRecorderView* quickCreateRecorder_ = nullptr;
    QToolButton* reset_ = nullptr;
    QAbstractButton* disclosure_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    QWidget* directSection_ = nullptr;
    QLabel* destinationIcon_ = nullptr;
    DestinationPickerControl* destinationPicker_ = nullptr;
    std::vector<DirectFileShortcutRow*> rows_;
    Subscription settingsChanges_;
};

}  // namespace quillet
