#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extension/FinderSyncHost.h"

namespace quillet {

// What Nautilus named when it asked for one menu: the folder whose background was clicked, or
// the selected items. A menu item keeps the context of the menu it belongs to, because Nautilus
// asks for the selection and the background menus together and the user picks from either later.
struct NautilusMenuContext {
    std::optional<std::filesystem::path> targetedURL;
    std::vector<std::filesystem::path> selectedItemURLs;
};

// The FinderSync host inside Nautilus. Nautilus calls the extension on its main thread only, so
// the current context is plain state set by the menu provider before each call into FinderSync.
class NautilusFinderSyncHost : public FinderSyncHost {
public:
    void setDirectoryURLs(const std::vector<std::filesystem::path>& directories) override;
    std::optional<std::filesystem::path> targetedURL() const override;
    std::vector<std::filesystem::path> selectedItemURLs() const override;
    // g_app_info_launch_default_for_uri_async without a launch context: no startup notification
    // (the application is not raised) and GIO keeps no recent-items list.
    void openURL(const std::string& url, OpenCompletion completion) override;

    void setContext(NautilusMenuContext context) { context_ = std::move(context); }
    const std::vector<std::filesystem::path>& directoryURLs() const { return directories_; }

private:
    std::vector<std::filesystem::path> directories_;
    NautilusMenuContext context_;
};

}  // namespace quillet
