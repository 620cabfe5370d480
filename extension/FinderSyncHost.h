#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

// What the extension asks of the file manager that loads it. The file manager decides which
// folder a menu is about; the extension only reads that and hands URLs back to the desktop.
class FinderSyncHost {
public:
    // Nothing on success, else the description of why the URL could not be opened.
    using OpenCompletion = std::function<void(const std::optional<std::string>& failure)>;

    virtual ~FinderSyncHost() = default;

    // The folders (and everything beneath them) the extension offers its menus in.
    virtual void setDirectoryURLs(const std::vector<std::filesystem::path>& directories) = 0;
    // The folder the current menu was opened on, when the file manager names one.
    virtual std::optional<std::filesystem::path> targetedURL() const = 0;
    // The items selected for the current menu, first one first; empty when none.
    virtual std::vector<std::filesystem::path> selectedItemURLs() const = 0;
    // Hands the URL to the application registered for its scheme without bringing it to the
    // front or adding it to recent items. The completion runs later, on the host's main loop.
    virtual void openURL(const std::string& url, OpenCompletion completion) = 0;
};

}  // namespace quillet
