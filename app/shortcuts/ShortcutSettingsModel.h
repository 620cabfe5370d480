#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/creation/CreationDestination.h"
#include "app/observation/Published.h"
#include "app/observation/Subscription.h"
#include "app/keys/QuickCreateShortcut.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/Translation.h"

namespace quillet {

class AppSettings;

// What the shortcuts card shows and where its edits go: the Quick Create shortcut with its
// conflict, and one direct shortcut per file type with its status. It only edits the settings;
// the hot keys follow them through the Quick Create controller.
class ShortcutSettingsModel {
public:
    static constexpr const char* kQuickCreateTitle = N_("Quick Create Shortcut");
    static constexpr const char* kQuickCreateSymbol = "keyboard";
    static constexpr const char* kResetSymbol = "arrow.counterclockwise";
    static constexpr const char* kResetHelp = N_("Reset Quick Create shortcut");
    static constexpr const char* kDirectSectionTitle = N_("Direct File Shortcuts");
    static constexpr const char* kDirectSectionSymbol = "bolt.fill";
    static constexpr const char* kDestinationTitle = N_("Destination");
    static constexpr const char* kClearSymbol = "xmark.circle";
    // Under the title where the session lets no application hold keys system-wide.
    static constexpr const char* kUnavailableNote = N_("Global shortcuts are not available in this session.");

    // One file type's row in the direct section.
    struct DirectShortcutRow {
        FileTypeDefinition type;
        std::optional<QuickCreateShortcut> shortcut;  // absent when the type has none
        std::string status;          // ".md", ".md disabled" or the conflict
        bool statusIsConflict = false;  // drawn in red
        bool canClear = false;       // only a stored shortcut can be cleared
        std::string clearHelp;       // "Clear Markdown shortcut"
        bool operator==(const DirectShortcutRow&) const = default;
    };

    // `globalShortcutsAvailable` is false where the session offers no way to register them.
    // `words`: how the session names its file manager, for the destination picker.
    // `wayFailure`: why the way tried cannot hold shortcuts, once that is known (the hot key
    // manager's); watched for as long as the model lives.
    explicit ShortcutSettingsModel(AppSettings& settings, bool globalShortcutsAvailable = true, DesktopWords words = {},
                                   Published<std::optional<std::string>>* wayFailure = nullptr);
    const DesktopWords& words() const { return words_; }

    // The line under the title saying the shortcuts cannot work here, and why when that is known;
    // nothing where they can.
    std::optional<std::string> availabilityNote() const;

    QuickCreateShortcut quickCreateShortcut() const;
    // "Conflicts with <type>" for the first type in the user's order holding the Quick Create
    // shortcut; nothing when none does.
    std::optional<std::string> quickCreateConflict() const;
    void setQuickCreateShortcut(const QuickCreateShortcut& shortcut);
    // Back to Ctrl+Alt+N.
    void resetQuickCreateShortcut();

    CreationDestinationMode destination() const;
    // The symbol of the current destination, shown beside "Destination".
    std::string destinationSymbol() const;
    void setDestination(CreationDestinationMode mode);

    // Every type in the user's order, enabled or not.
    std::vector<DirectShortcutRow> directShortcutRows() const;
    DirectShortcutRow directShortcutRow(const FileTypeDefinition& type) const;
    // Stores a recorded shortcut for the type; the settings remove the entry for nothing.
    void setShortcut(const std::string& typeID, const std::optional<QuickCreateShortcut>& shortcut);
    void clearShortcut(const std::string& typeID);

    // `changed` runs after every settings change the card must redraw for, until the returned
    // subscription is cancelled or dropped.
    [[nodiscard]] Subscription observe(std::function<void()> changed);

private:
    AppSettings& settings_;
    bool globalShortcutsAvailable_ = true;
    DesktopWords words_;
    Published<std::optional<std::string>>* wayFailure_ = nullptr;
};

}  // namespace quillet
