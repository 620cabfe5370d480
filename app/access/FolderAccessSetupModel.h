#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/access/FolderAccessLocations.h"
#include "app/observation/Published.h"
#include "shared/text/Translation.h"

namespace quillet {

class DisplayNames;
class SecurityScopedFolderAccess;

// What the folder access card shows: the saved roots as last read, and the outcome of the last
// action (none until the first).
struct FolderAccessSetupState {
    std::vector<std::filesystem::path> authorizedFolders;
    std::optional<std::string> statusMessage;

    bool operator==(const FolderAccessSetupState&) const = default;
};

// The "Folder Access" card's rules: its texts, the four grant buttons and what they run, the
// cells of the saved roots and the messages after each action. The card renders `state` and
// forwards clicks here; the flows' panels are asked through the grant store's folder panel.
class FolderAccessSetupModel {
public:
    static constexpr const char* kTitle = N_("Folder Access");
    static constexpr const char* kSymbolName = "folder.badge.gearshape";
    static constexpr const char* kForgetAccessHelp = N_("Forget Access");
    static constexpr const char* kForgetAccessSymbolName = "xmark.circle";
    static constexpr const char* kHomeDisplayName = N_("Home");

    enum class Action { grantHomeFolder, addOtherFolders, addCloudFolders, addExternalVolumes };
    struct Button {
        Action action;
        std::string title;
    };
    // One saved root as its grid cell shows it.
    struct Cell {
        std::filesystem::path root;
        std::string symbolName;
        std::string displayName;

        bool operator==(const Cell&) const = default;
    };

    // `access` must have a folder panel and an activation; both, and `displayNames`, outlive the
    // model. Unsandboxed, Quillet+ writes wherever the account may, so no grant is offered.
    FolderAccessSetupModel(SecurityScopedFolderAccess& access, const DisplayNames& displayNames,
                           FolderAccessLocations locations, bool sandboxed);

    // The grant buttons, top to bottom: all four in a sandbox, none outside one.
    const std::vector<Button>& buttons() const;
    static const std::vector<Button>& grantButtons();

    Published<FolderAccessSetupState> state;

    // Reads the saved roots again (the card does so whenever it appears).
    void reload();
    // Runs a button's flow; its outcome becomes the status message, and a success reloads.
    void perform(Action action);
    // Removes a saved root without asking, says so, and reloads.
    void forgetAccess(const std::filesystem::path& root);

    // The line under the title: "No saved folder roots.", "1 saved folder root.", "3 saved folder
    // roots."; unsandboxed with none saved, that no grant is needed.
    std::string summary() const;
    // Whether the grid of saved roots shows: only when there is one at least.
    bool showsGrid() const { return !state->authorizedFolders.empty(); }
    std::vector<Cell> cells() const;

    // "Home" for the real home folder, else the folder's own name.
    std::string displayName(const std::filesystem::path& root) const;
    // "externaldrive" on a mounted volume, "house" for the home, else "folder".
    std::string rowSymbol(const std::filesystem::path& root) const;
    static std::string summaryText(std::size_t count);
    // The message after a flow that grants several folders.
    std::string grantedListMessage(const std::vector<std::filesystem::path>& folders) const;

private:
    void setStatus(std::string message, bool reloading);

    SecurityScopedFolderAccess& access_;
    const DisplayNames& displayNames_;
    FolderAccessLocations locations_;
    bool sandboxed_;
};

}  // namespace quillet
