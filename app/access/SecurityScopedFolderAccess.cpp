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
#include "shared/text/Translation.h"

namespace quillet {

namespace {

Logger logger() { return Logger(kAppSubsystem, SecurityScopedFolderAccess::kLogCategory); }

// Characters, not bytes, decide which grant is deeper.
std::size_t characterCount(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// `root` and `folder` in standard form.
bool coversStandardized(const std::string& r, const std::string& f) {
    if (r.empty() || f.empty()) return false;
    if (r == f) return true;
    if (r == "/") return f.starts_with('/');
    return f.size() > r.size() && f.starts_with(r) && f[r.size()] == '/';
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

std::string SecurityScopedFolderAccess::bookmarkKey(const FolderPath& folder) {
    return std::string(kBookmarkKeyPrefix) + folder.string();
}

std::vector<FolderPath> SecurityScopedFolderAccess::savedRoots() const {
    std::vector<FolderPath> roots;
    for (const auto& key : defaults_.keys()) {
        if (!key.starts_with(kBookmarkKeyPrefix)) continue;
        // Only absolute paths name a folder; a relative one would depend on the working folder.
        if (auto root = FolderPath::fromAbsolute(key.substr(kBookmarkKeyPrefix.size()))) roots.push_back(*root);
    }
    std::stable_sort(roots.begin(), roots.end(),
                     [](const auto& a, const auto& b) { return localizedStandardLess(a.string(), b.string()); });
    return roots;
}

std::vector<std::filesystem::path> SecurityScopedFolderAccess::savedFolderRoots() const {
    std::vector<std::filesystem::path> roots;
    for (const FolderPath& root : savedRoots()) roots.push_back(root.path());
    return roots;
}

void SecurityScopedFolderAccess::saveBookmark(const std::filesystem::path& folder,
                                              const std::filesystem::path& keyURL) {
    storeBookmark(folder, bookmarkKey(keyURL));
}

void SecurityScopedFolderAccess::storeBookmark(const std::filesystem::path& folder, const std::string& key) {
    try {
        std::vector<std::uint8_t> bookmark = bookmarks_.createBookmark(folder);
        // A grant that was not stored must not look like one that was.
        defaults_.setOrThrow(key, DefaultsValue(std::move(bookmark)));
    } catch (const PlatformError& error) {
        throw SecurityScopedFolderAccessError::bookmarkCreationFailed(
            SecurityScopedBookmarkError::bookmarkCreationFailed(error));
    }
}

bool SecurityScopedFolderAccess::removeSavedAccess(const std::filesystem::path& folder) {
    return defaults_.remove(bookmarkKey(folder));
}

std::optional<FolderPath> SecurityScopedFolderAccess::resolvedSavedRoot(const FolderPath& root) {
    const std::string key = bookmarkKey(root);
    const std::string& path = root.string();
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
    // The folder bookmarks record absolute folders; a record naming any other names none.
    return FolderPath::fromAbsolute(resolved.url);
}

bool SecurityScopedFolderAccess::covers(const std::filesystem::path& root, const std::filesystem::path& folder) {
    return coversStandardized(standardizedPath(root).string(), standardizedPath(folder).string());
}

bool SecurityScopedFolderAccess::covers(const FolderPath& root, const FolderPath& folder) {
    return coversStandardized(root.string(), folder.string());
}

std::optional<FolderPath> SecurityScopedFolderAccess::bestSavedRoot(const FolderPath& folder) {
    std::optional<FolderPath> best;
    std::size_t bestLength = 0;
    for (const FolderPath& root : savedRoots()) {
        if (!covers(root, folder)) continue;
        auto resolved = resolvedSavedRoot(root);
        if (!resolved) continue;
        const std::size_t length = characterCount(resolved->string());
        if (!best || length > bestLength) {
            best = resolved;
            bestLength = length;
        }
    }
    return best;
}

std::optional<FolderPath> SecurityScopedFolderAccess::suggestedGrantRoot(const FolderPath& folder,
                                                                         const std::optional<FolderPath>& home) {
    if (!home) return std::nullopt;
    const FolderPath dropbox = home->appending("Dropbox");
    if (covers(dropbox, folder)) return dropbox;
    const FolderPath iCloud = home->appending("Library/Mobile Documents/com~apple~CloudDocs");
    if (covers(iCloud, folder)) return iCloud;
    const FolderPath cloudStorage = home->appending("Library/CloudStorage");
    if (covers(cloudStorage, folder) && folder != cloudStorage) {
        const std::filesystem::path below = folder.path().lexically_relative(cloudStorage.path());
        if (!below.empty() && *below.begin() != "..") return cloudStorage.appending(*below.begin());
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

std::string SecurityScopedFolderAccess::defaultAccessMessage(const FolderPath& suggested,
                                                             const FolderPath& required) const {
    const std::string display = displayNames_.displayName(suggested.path());
    if (suggested != required)
        return formatText(translate("Grant access to %1 so Quillet+ can create files in it and all its subfolders."),
                          {display});
    return formatText(translate("Choose %1 so Quillet+ can create files there."), {display});
}

FolderPanelResult SecurityScopedFolderAccess::runPanel(const FolderPanelConfiguration& configuration,
                                                       Activation activation) {
    if (!panel_ || (activation == Activation::activate && !activation_))
        throw std::logic_error("SecurityScopedFolderAccess was built without a folder panel");
    if (activation == Activation::activate) activation_->activateIgnoringOtherApps();
    return panel_->runModal(configuration);
}

FolderPath SecurityScopedFolderAccess::requestAccess(const FolderPath& suggested,
                                                     const std::optional<FolderPath>& requiredFolder,
                                                     const std::string& title,
                                                     const std::optional<std::string>& message) {
    const FolderPath required = requiredFolder.value_or(suggested);
    return askForFolderCovering(suggested.path(), required.path(), title,
                                message.value_or(defaultAccessMessage(suggested, required)));
}

FolderPath SecurityScopedFolderAccess::askForFolderCovering(const std::filesystem::path& suggestion,
                                                            const std::filesystem::path& required,
                                                            const std::string& title, const std::string& message) {
    // A folder dialog with nothing selected answers with the folder it shows, so it starts in the
    // suggested folder itself: one click on the prompt grants it.
    const auto panel = makeAccessPanel(title, message, suggestion, false);

    const FolderPanelResult answer = runPanel(panel);
    if (!answer.confirmed || answer.urls.empty()) throw SecurityScopedFolderAccessError::accessCancelled(suggestion);
    const std::filesystem::path& url = answer.urls.front();
    // An answer that is not absolute names no folder, so it covers none.
    const std::optional<FolderPath> chosen = FolderPath::fromAbsolute(url);
    if (!chosen || !coversStandardized(chosen->string(), required.string()))
        throw SecurityScopedFolderAccessError::wrongFolder(suggestion, chosen ? chosen->path() : standardizedPath(url));
    storeBookmark(url, bookmarkKey(*chosen));
    return *chosen;
}

std::filesystem::path SecurityScopedFolderAccess::requestAccessToFolder(const std::filesystem::path& folder) {
    const std::filesystem::path target = standardizedPath(folder);
    const std::string display = displayNames_.displayName(target);
    // TRANSLATORS: %1 is a folder's name.
    const auto panel = makeAccessPanel(formatText(translate("Allow %1 Access"), {display}),
                                       formatText(translate("Click Allow Access to let Quillet+ create files in %1 and "
                                                            "its subfolders."),
                                                  {display}),
                                       target, false);
    const FolderPanelResult answer = runPanel(panel);
    if (!answer.confirmed) throw SecurityScopedFolderAccessError::accessCancelled(target);
    const std::filesystem::path chosen = standardizedPath(answer.urls.empty() ? target : answer.urls.front());
    saveBookmark(chosen, chosen);
    return chosen;
}

std::filesystem::path SecurityScopedFolderAccess::grantHomeFolder(const FolderAccessLocations& locations) {
    if (!locations.realHome) throw SecurityScopedFolderAccessError::homeFolderUnavailable();
    const std::filesystem::path home = standardizedPath(*locations.realHome);
    return askForFolderCovering(home, home, kHomeFolderTitle, kHomeFolderMessage).path();
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
