#include "app/access/SecurityScopedFolderAccess.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "app/access/FolderAccessLocations.h"
#include "shared/settings/DefaultsSuite.h"
#include "platform/ApplicationWindows.h"
#include "platform/DisplayNames.h"
#include "shared/paths/FilePaths.h"
#include "platform/FolderBookmarks.h"
#include "shared/text/LocalizedStandardCompare.h"
#include "shared/logging/Logger.h"

namespace quillet {

namespace {

Logger logger() { return Logger(kAppSubsystem, SecurityScopedFolderAccess::kLogCategory); }

// Characters, not bytes, decide which grant is deeper.
std::size_t characterCount(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool isDirectory(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// Whether a folder holds anything to choose: GIO keeps its mount folder even with nothing
// mounted, and an empty panel would only be something to dismiss.
bool hasVisibleEntry(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (!it->path().filename().string().starts_with('.')) return true;
    return false;
}

}  // namespace

SecurityScopedFolderAccess::SecurityScopedFolderAccess(DefaultsSuite& defaults, FolderBookmarks& bookmarks,
                                                       const DisplayNames& displayNames, FolderPanel* panel,
                                                       ApplicationWindows* activation)
    : defaults_(defaults),
      bookmarks_(bookmarks),
      displayNames_(displayNames),
      panel_(panel),
      activation_(activation) {}

std::string SecurityScopedFolderAccess::bookmarkKey(const std::filesystem::path& folder) {
    return std::string(kBookmarkKeyPrefix) + standardizedPath(folder).string();
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::savedFolderRoots() const {
    std::vector<std::filesystem::path> roots;
    for (const auto& key : defaults_.keys()) {
        if (!key.starts_with(kBookmarkKeyPrefix)) continue;
        std::filesystem::path path(key.substr(kBookmarkKeyPrefix.size()));
        // Only absolute paths name a folder; a relative one would depend on the working folder.
        if (!path.is_absolute()) continue;
        roots.push_back(standardizedPath(path));
    }
    std::stable_sort(roots.begin(), roots.end(),
                     [](const auto& a, const auto& b) { return localizedStandardLess(a.string(), b.string()); });
    return roots;
}

void SecurityScopedFolderAccess::saveBookmark(const std::filesystem::path& folder,
                                              const std::filesystem::path& keyURL) {
    try {
        std::vector<std::uint8_t> bookmark = bookmarks_.createBookmark(folder);
        // A grant that was not stored must not look like one that was.
        defaults_.setOrThrow(bookmarkKey(keyURL), DefaultsValue(std::move(bookmark)));
    } catch (const PlatformError& error) {
        throw SecurityScopedFolderAccessError::bookmarkCreationFailed(
            SecurityScopedBookmarkError::bookmarkCreationFailed(error));
    }
}

bool SecurityScopedFolderAccess::removeSavedAccess(const std::filesystem::path& folder) {
    return defaults_.remove(bookmarkKey(folder));
}

std::optional<std::filesystem::path> SecurityScopedFolderAccess::resolvedSavedRoot(
    const std::filesystem::path& root) {
    const std::string key = bookmarkKey(root);
    const std::string path = standardizedPath(root).string();
    auto value = defaults_.get(key);
    if (!value || !value->data()) return std::nullopt;

    ResolvedBookmark resolved;
    try {
        resolved = bookmarks_.resolveBookmark(*value->data());
    } catch (const PlatformError& error) {
        if (error.domain() == PlatformError::kCocoaDomain && error.code() == PlatformError::kFileReadCorruptFile) {
            logger().log("Discarding invalid security-scoped bookmark for %{public}s: %{public}s", path,
                         error.description());
            defaults_.remove(key);
        } else {
            logger().error("Keeping security-scoped bookmark for %{public}s despite a transient resolve failure: %{public}s",
                           path, error.description());
        }
        return std::nullopt;
    }
    if (resolved.isStale) {
        // A failed refresh keeps the old record; the folder resolved all the same.
        try {
            defaults_.set(key, DefaultsValue(bookmarks_.createBookmark(resolved.url)));
        } catch (const PlatformError&) {
        }
    }
    return standardizedPath(resolved.url);
}

bool SecurityScopedFolderAccess::covers(const std::filesystem::path& root, const std::filesystem::path& folder) {
    const std::string r = standardizedPath(root).string();
    const std::string f = standardizedPath(folder).string();
    if (r.empty() || f.empty()) return false;
    if (r == f) return true;
    if (r == "/") return f.starts_with('/');
    return f.size() > r.size() && f.starts_with(r) && f[r.size()] == '/';
}

std::optional<std::filesystem::path> SecurityScopedFolderAccess::bestSavedRoot(const std::filesystem::path& folder) {
    const std::filesystem::path target = standardizedPath(folder);
    std::optional<std::filesystem::path> best;
    std::size_t bestLength = 0;
    for (const auto& root : savedFolderRoots()) {
        if (!covers(root, target)) continue;
        auto resolved = resolvedSavedRoot(root);
        if (!resolved) continue;
        const std::size_t length = characterCount(standardizedPath(*resolved).string());
        if (!best || length > bestLength) {
            best = standardizedPath(*resolved);
            bestLength = length;
        }
    }
    return best;
}

std::optional<std::filesystem::path> SecurityScopedFolderAccess::suggestedGrantRoot(
    const std::filesystem::path& folder, const std::optional<std::filesystem::path>& home) {
    if (!home) return std::nullopt;
    const std::filesystem::path target = standardizedPath(folder);
    const std::filesystem::path dropbox = standardizedPath(*home / "Dropbox");
    if (covers(dropbox, target)) return dropbox;
    const std::filesystem::path iCloud = standardizedPath(*home / "Library/Mobile Documents/com~apple~CloudDocs");
    if (covers(iCloud, target)) return iCloud;
    const std::filesystem::path cloudStorage = standardizedPath(*home / "Library/CloudStorage");
    if (covers(cloudStorage, target) && target != cloudStorage) {
        const std::filesystem::path below = target.lexically_relative(cloudStorage);
        if (!below.empty() && *below.begin() != "..") return standardizedPath(cloudStorage / *below.begin());
    }
    return std::nullopt;
}

FolderPanelConfiguration SecurityScopedFolderAccess::makeAccessPanel(
    const std::string& title, const std::string& message, const std::optional<std::filesystem::path>& directory,
    bool allowsMultipleSelection) {
    FolderPanelConfiguration panel;
    panel.title = title;
    panel.message = message;
    panel.prompt = kAllowAccessPrompt;
    panel.canChooseFiles = false;
    panel.canChooseDirectories = true;
    panel.canCreateDirectories = false;
    panel.allowsMultipleSelection = allowsMultipleSelection;
    panel.resolvesAliases = true;
    panel.directoryURL = directory;
    return panel;
}

std::string SecurityScopedFolderAccess::defaultAccessMessage(const std::filesystem::path& suggested,
                                                             const std::filesystem::path& required) const {
    const std::string display = displayNames_.displayName(standardizedPath(suggested));
    if (standardizedPath(suggested) != standardizedPath(required))
        return "Grant access to " + display + " so Quillet+ can create files in it and all its subfolders.";
    return "Choose " + display + " so Quillet+ can create files there.";
}

FolderPanelResult SecurityScopedFolderAccess::runPanel(const FolderPanelConfiguration& configuration,
                                                       Activation activation) {
    if (!panel_ || (activation == Activation::activate && !activation_))
        throw std::logic_error("SecurityScopedFolderAccess was built without a folder panel");
    if (activation == Activation::activate) activation_->activateIgnoringOtherApps();
    return panel_->runModal(configuration);
}

std::filesystem::path SecurityScopedFolderAccess::requestAccess(const std::filesystem::path& suggested,
                                                                const std::optional<std::filesystem::path>& requiredFolder,
                                                                const std::string& title,
                                                                const std::optional<std::string>& message) {
    const std::filesystem::path suggestion = standardizedPath(suggested);
    const std::filesystem::path required = standardizedPath(requiredFolder.value_or(suggestion));
    const std::string text = message.value_or(defaultAccessMessage(suggestion, required));
    // Starting in the parent keeps the suggested folder in view, ready to be chosen.
    const auto panel = makeAccessPanel(title, text, suggestion.parent_path(), false);

    const FolderPanelResult answer = runPanel(panel);
    if (!answer.confirmed || answer.urls.empty()) throw SecurityScopedFolderAccessError::accessCancelled(suggestion);
    const std::filesystem::path chosen = standardizedPath(answer.urls.front());
    if (!covers(chosen, required)) throw SecurityScopedFolderAccessError::wrongFolder(suggestion, chosen);
    saveBookmark(answer.urls.front(), chosen);
    return chosen;
}

std::filesystem::path SecurityScopedFolderAccess::requestAccessToFolder(const std::filesystem::path& folder) {
    const std::filesystem::path target = standardizedPath(folder);
    const std::string display = displayNames_.displayName(target);
    const auto panel = makeAccessPanel("Allow " + display + " Access",
                                       "Click Allow Access to let Quillet+ create files in " + display +
                                           " and its subfolders.",
                                       target, false);
    const FolderPanelResult answer = runPanel(panel);
    if (!answer.confirmed) throw SecurityScopedFolderAccessError::accessCancelled(target);
    const std::filesystem::path chosen = standardizedPath(answer.urls.empty() ? target : answer.urls.front());
    saveBookmark(chosen, chosen);
    return chosen;
}

std::filesystem::path SecurityScopedFolderAccess::grantHomeFolder(const FolderAccessLocations& locations) {
    if (!locations.realHome) throw SecurityScopedFolderAccessError::homeFolderUnavailable();
    return requestAccess(*locations.realHome, std::nullopt, kHomeFolderTitle, std::string(kHomeFolderMessage));
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::addCloudFolders(
    const FolderAccessLocations& locations) {
    if (!locations.realHome) throw SecurityScopedFolderAccessError::homeFolderUnavailable();
    const std::filesystem::path home = standardizedPath(*locations.realHome);
    std::vector<std::filesystem::path> granted;
    // A declined or failed single-folder prompt costs only that folder; the next one still asks.
    const auto askForFolder = [&](const std::filesystem::path& folder) {
        if (!isDirectory(folder)) return;
        try {
            granted.push_back(requestAccessToFolder(folder));
        } catch (const SecurityScopedFolderAccessError&) {
        }
    };

    askForFolder(FolderAccessLocations::dropboxFolder(home));
    if (locations.providerMountsFolder && hasVisibleEntry(*locations.providerMountsFolder)) {
        const auto panel = makeAccessPanel(kCloudFoldersTitle, kCloudFoldersMessage,
                                           standardizedPath(*locations.providerMountsFolder), true);
        const FolderPanelResult answer = runPanel(panel);
        if (answer.confirmed) {
            const auto saved = saveChosenFolders(answer.urls);
            granted.insert(granted.end(), saved.begin(), saved.end());
        }
    }
    for (const auto& folder : FolderAccessLocations::cloudClientFolders(home)) askForFolder(folder);

    if (granted.empty()) throw SecurityScopedFolderAccessError::accessCancelled(home);
    return granted;
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::addOtherFolders(
    const FolderAccessLocations& locations) {
    std::optional<std::filesystem::path> home;
    if (locations.realHome) home = standardizedPath(*locations.realHome);
    const auto panel = makeAccessPanel(kOtherFoldersTitle, kOtherFoldersMessage, home, true);
    return addFolders(panel, home.value_or(standardizedPath(locations.processHome.value_or("/"))));
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::addExternalVolumes(
    const FolderAccessLocations& locations) {
    const std::filesystem::path volumes = locations.externalVolumesFolder();
    return addFolders(makeAccessPanel(kExternalVolumesTitle, kExternalVolumesMessage, volumes, true), volumes);
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::addFolders(const FolderPanelConfiguration& panel,
                                                                          const std::filesystem::path& cancelledFolder) {
    const FolderPanelResult answer = runPanel(panel, Activation::leaveAsIs);
    if (!answer.confirmed) throw SecurityScopedFolderAccessError::accessCancelled(cancelledFolder);
    return saveChosenFolders(answer.urls);
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::saveChosenFolders(
    const std::vector<std::filesystem::path>& urls) {
    std::vector<std::filesystem::path> saved;
    for (const auto& url : urls) {
        const std::filesystem::path chosen = standardizedPath(url);
        saveBookmark(url, chosen);
        saved.push_back(chosen);
    }
    return saved;
}

}  // namespace quillet
