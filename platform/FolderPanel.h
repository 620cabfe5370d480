#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

// What a folder-choosing panel shows and allows. A plain value, so the rules that build it are
// tested without a window and any toolkit's dialog can honour it.
struct FolderPanelConfiguration {
    std::string title;
    std::string message;
    std::string prompt;  // the default button's text
    bool canChooseFiles = false;
    bool canChooseDirectories = true;
    bool canCreateDirectories = false;
    bool allowsMultipleSelection = false;
    bool resolvesAliases = true;
    std::optional<std::filesystem::path> directoryURL;  // where the panel starts

    bool operator==(const FolderPanelConfiguration&) const = default;
};

// The user's answer: whether they confirmed, and the chosen folders as the panel gives them.
struct FolderPanelResult {
    bool confirmed = false;
    std::vector<std::filesystem::path> urls;

    bool operator==(const FolderPanelResult&) const = default;
};

// Runs a folder panel modally and returns once the user has answered.
class FolderPanel {
public:
    virtual ~FolderPanel() = default;
    virtual FolderPanelResult runModal(const FolderPanelConfiguration& configuration) = 0;
};

}  // namespace quillet
