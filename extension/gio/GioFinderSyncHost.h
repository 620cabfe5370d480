#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extension/FinderSyncHost.h"

namespace quillet {

// What the file manager named when it asked for one menu: the folder whose background was
// clicked, or the selected items. A menu item keeps the context of the menu it belongs to, because
// a file manager may ask for the selection and the background menus together and the user picks
// from either later.
struct FileManagerMenuContext {
    std::optional<std::filesystem::path> targetedURL;
    std::vector<std::filesystem::path> selectedItemURLs;
};

// The FinderSync host inside a GTK file manager (Nautilus, Thunar). They call their extensions on
// their main thread only, so the current context is plain state set by the menu provider before
// each call into FinderSync.
class GioFinderSyncHost : public FinderSyncHost {
public:
    void setDirectoryURLs(const std::vector<std::filesystem::path>& directories) override;
    std::optional<std::filesystem::path> targetedURL() const override;
    std::vector<std::filesystem::path> selectedItemURLs() const override;
    // g_app_info_launch_default_for_uri_async without a launch context: no startup notification
    // (the application is not raised) and GIO keeps no recent-items list.
    void openURL(const std::string& url, OpenCompletion completion) override;

    void setContext(FileManagerMenuContext context) { context_ = std::move(context); }
    const std::vector<std::filesystem::path>& directoryURLs() const { return directories_; }

private:
    std::vector<std::filesystem::path> directories_;
    FileManagerMenuContext context_;
};

}  // namespace quillet
