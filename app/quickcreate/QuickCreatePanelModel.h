#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/creation/CreationDestination.h"
#include "app/observation/Published.h"
#include "app/observation/Subscription.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

class DesktopCreationController;

// What the Quick Create panel shows, derived from the controller; the widgets only draw it and
// hand the user's input back.
class QuickCreatePanelModel {
public:
    static constexpr const char* kTitle = N_("Create File");
    static constexpr const char* kTitleSymbol = "doc.badge.plus";
    static constexpr const char* kSearchPlaceholder = N_("Search file types");
    static constexpr const char* kSearchSymbol = "magnifyingglass";
    static constexpr const char* kEmptyStateText = N_("No file types found");
    static constexpr const char* kEmptyStateSymbol = "magnifyingglass";
    // "Folder of the front Files window", as the session names its file manager.
    static constexpr const char* kFrontFolderDetail = linuxtexts::kFrontFolderDetail;
    // Tiles per row of a section's grid.
    static constexpr int kColumns = 3;

    // The arrow keys, which move the selection through the grid as it is drawn.
    enum class Move { left, right, up, down };

    struct Section {
        FileTypeCategory category;
        std::string heading;  // the category's raw value; a subfolder of the templates: its path
        std::vector<FileTypeDefinition> types;
        bool operator==(const Section&) const = default;
    };

    struct Footer {
        std::string symbolName;  // "desktopcomputer" or "folder"
        std::string title;       // the status line, else the destination's title
        bool titleIsStatus = false;  // drawn in the primary colour
        std::string detail;      // the Desktop's path, or "Folder of the front Files window"
        bool operator==(const Footer&) const = default;
    };

    explicit QuickCreatePanelModel(DesktopCreationController& controller);

    // One section per category that has matching types, in category order; empty when nothing
    // matches, and the panel then shows its empty state.
    std::vector<Section> sections() const;
    bool showsEmptyState() const;
    Footer footer() const;
    CreationDestinationMode destinationMode() const;
    // The session's names, for the destination picker's titles.
    const DesktopWords& words() const;
    const std::string& searchText() const;

    // `changed` runs after every change the panel must redraw for: the controller's fields and
    // the settings that decide which types are offered; until the subscription is cancelled or
    // dropped.
    [[nodiscard]] Subscription observe(std::function<void()> changed);

    void setSearchText(const std::string& text);
    void setDestinationMode(CreationDestinationMode mode);
    // A tile was clicked: create with the controller's current mode.
    void createFile(const FileTypeDefinition& type);

    // The tile Return creates: the one the arrow keys moved to under the current search text,
    // else the first match; nothing when nothing matches. Drawn as selected.
    std::optional<FileTypeDefinition> selectedType() const;
    // Left and Right step through the tiles in reading order; Up and Down go to the row above or
    // below (the next section's first row after a section's last), keeping the column where the
    // row is long enough. At an edge the selection stays.
    void moveSelection(Move move);
    // Back to the first match, as every opening of the panel starts.
    void resetSelection();
    // The panel was dismissed: its fields go back to where the next opening starts them, while
    // it is hidden, so that opening it redraws nothing.
    void prepareNextOpening();
    // Return: creates the selected type as a click on its tile does. False when nothing matches.
    bool createSelected();

private:
    // The type the arrow keys chose and the search text it was chosen under: a new search starts
    // again at its first match.
    struct Selection {
        std::string typeID;
        std::string searchText;
        bool operator==(const Selection&) const = default;
    };

    DesktopCreationController& controller_;
    Published<std::optional<Selection>> selection_;
};

}  // namespace quillet
