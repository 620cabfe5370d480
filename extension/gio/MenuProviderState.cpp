#include "extension/gio/MenuProviderState.h"

#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

std::optional<UserAccount> accountOf(const UserEnvironment& environment) {
    if (environment.accountHome.empty()) return std::nullopt;
    return UserAccount{environment.accountHome, environment.accountUserName};
}

}  // namespace

MenuProviderState::MenuProviderState(const UserEnvironment& environment)
    : finderSync(host, [account = accountOf(environment)] { return account; }, environment.configurationHome) {}

std::optional<ProvidedMenu> MenuProviderState::backgroundMenu(const std::optional<std::filesystem::path>& folder) {
    // Like Finder, which only asks about the folders it was told to monitor.
    if (!folder || !finderSync.isMonitored(*folder)) return std::nullopt;
    const auto observed = finderSync.mostRecentObservedDirectoryURL();
    if (observed != folder) {
        if (observed) finderSync.endObservingDirectory(*observed);
        finderSync.beginObservingDirectory(*folder);
    }
    FileManagerMenuContext context{folder, {}};
    host.setContext(context);
    auto menu = finderSync.menuForMenuKind(rawValue(FinderMenuKind::contextualMenuForContainer));
    if (!menu) return std::nullopt;
    return ProvidedMenu{std::move(*menu), std::move(context)};
}

std::optional<ProvidedMenu> MenuProviderState::itemsMenu(const std::vector<std::optional<std::filesystem::path>>& items) {
    if (items.empty() || !items.front()) return std::nullopt;
    FileManagerMenuContext context;
    for (const auto& item : items)
        if (item) context.selectedItemURLs.push_back(*item);
    if (!finderSync.isMonitored(containingFolder(context.selectedItemURLs.front()))) return std::nullopt;
    host.setContext(context);
    auto menu = finderSync.menuForMenuKind(rawValue(FinderMenuKind::contextualMenuForItems));
    if (!menu) return std::nullopt;
    return ProvidedMenu{std::move(*menu), std::move(context)};
}

std::optional<std::filesystem::path> localPathOf(const char* scheme, GFile* location) {
    if (!scheme || g_ascii_strcasecmp(scheme, "file") != 0 || !location) return std::nullopt;
    char* path = g_file_get_path(location);
    if (!path) return std::nullopt;
    std::filesystem::path result = standardizedPath(path);
    g_free(path);
    if (!result.is_absolute()) return std::nullopt;
    return result;
}

}  // namespace quillet
