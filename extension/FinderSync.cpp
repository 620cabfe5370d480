#include "extension/FinderSync.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <unordered_map>
#include <system_error>

#include "shared/requests/CreateRequestURL.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "shared/paths/FilePaths.h"
#include "shared/paths/UserDirectories.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace fs = std::filesystem;

long rawValue(FinderMenuKind kind) {
    return static_cast<long>(kind);
}

std::optional<FinderMenuKind> finderMenuKindFromRawValue(long raw) {
    if (raw < 0 || raw > 3) return std::nullopt;
    return static_cast<FinderMenuKind>(raw);
}

std::string finderMenuKindDescription(long raw) {
    if (auto kind = finderMenuKindFromRawValue(raw)) {
        switch (*kind) {
            case FinderMenuKind::contextualMenuForItems: return "contextualMenuForItems";
            case FinderMenuKind::contextualMenuForContainer: return "contextualMenuForContainer";
            case FinderMenuKind::contextualMenuForSidebar: return "contextualMenuForSidebar";
            case FinderMenuKind::toolbarItemMenu: return "toolbarItemMenu";
        }
    }
    return "FinderMenuKind(rawValue: " + std::to_string(raw) + ")";
}

std::vector<fs::path> monitoredRoots(const std::optional<UserAccount>& account,
                                     const std::optional<fs::path>& configurationHome) {
    std::vector<fs::path> roots;
    auto add = [&](const fs::path& candidate) {
        fs::path standardized = standardizedPath(candidate);
        for (const auto& root : roots)
            if (root == standardized) return;
        roots.push_back(std::move(standardized));
    };
    if (account && !account->homeFolder.empty()) {
        const fs::path home = account->homeFolder;
        add(home);
        add(userDesktopFolder(standardizedPath(home), configurationHome));
        add(home / "Documents");
        add(home / "Downloads");
        const fs::path iCloud = home / "Library" / "Mobile Documents" / "com~apple~CloudDocs";
        add(iCloud);
        add(iCloud / "Desktop");
        add(iCloud / "Documents");
        add(home / "Dropbox");
        const fs::path cloudStorage = home / "Library" / "CloudStorage";
        add(cloudStorage);
        std::error_code ec;
        for (fs::directory_iterator it(cloudStorage, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path entry = it->path();
            if (entry.filename().string().starts_with(".")) continue;
            std::error_code typeError;
            if (fs::is_directory(entry, typeError)) add(entry);
        }
    }
    // Removable and mounted volumes: where udisks and administrators mount them.
    add("/media");
    if (account) {
        const std::string& name = account->userName;
        if (!name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos)
            add(fs::path("/run/media") / name);
    }
    add("/mnt");
    return roots;
}

namespace {

// The menu a template of `group` ("Work/2024") goes into, made on first use inside the one of
// its parent folder; `folders` holds those of the current run of templates.
FinderSyncMenu& templateFolderMenu(FinderSyncMenu& top, std::map<std::string, std::shared_ptr<FinderSyncMenu>>& folders,
                                   const std::string& group) {
    if (group.empty()) return top;
    if (auto found = folders.find(group); found != folders.end()) return *found->second;
    const size_t slash = group.rfind('/');
    FinderSyncMenu& parent = templateFolderMenu(top, folders, slash == std::string::npos ? "" : group.substr(0, slash));
    const std::string name = slash == std::string::npos ? group : group.substr(slash + 1);
    auto menu = std::make_shared<FinderSyncMenu>(FinderSyncMenu{name, {}});
    parent.items.push_back({FinderSyncMenuItem::Role::templateFolder, name, true, -1, "", "", 0, menu});
    folders.emplace(group, menu);
    return *menu;
}

}  // namespace

FinderSyncMenu createMenuModel(const std::vector<FileTypeDefinition>& types) {
    std::vector<const FileTypeDefinition*> pointers;
    pointers.reserve(types.size());
    for (const auto& type : types) pointers.push_back(&type);
    return createMenuModel(pointers);
}

FinderSyncMenu createMenuModel(const std::vector<const FileTypeDefinition*>& types) {
    // In the language of the file manager's process, which the module never changes.
    FinderSyncMenu submenu{translate(FinderSync::kCreateFileTitle), {}};
    submenu.items.reserve(types.size() + 8);
    std::optional<FileTypeCategory> previous;
    std::map<std::string, std::shared_ptr<FinderSyncMenu>> folders;
    const auto& catalog = allTypes();
    for (const FileTypeDefinition* each : types) {
        const FileTypeDefinition& type = *each;
        // Groups follow the user's order: an order that interleaves categories repeats headers.
        if (type.category != previous) {
            if (previous)
                submenu.items.push_back({FinderSyncMenuItem::Role::separator, "", false, 0, "", "", 0, nullptr});
            submenu.items.push_back(
                {FinderSyncMenuItem::Role::header, localizedTitle(type.category), false, 0, "", "", 0, nullptr});
            previous = type.category;
            folders.clear();
        }
        if (type.category == FileTypeCategory::templates) {
            templateFolderMenu(submenu, folders, templateGroup(type))
                .items.push_back({FinderSyncMenuItem::Role::createType, localizedName(type), true, -1, type.id,
                                  type.sfSymbolName, 0, nullptr});
            continue;
        }
        // A position in the catalog's own table is found by address; a copy by its id.
        long tag = -1;
        if (each >= catalog.data() && each < catalog.data() + catalog.size())
            tag = static_cast<long>(each - catalog.data());
        else
            for (size_t i = 0; i < catalog.size(); ++i)
                if (catalog[i].id == type.id) tag = static_cast<long>(i);
        submenu.items.push_back({FinderSyncMenuItem::Role::createType, localizedName(type), true, tag, type.id,
                                 type.sfSymbolName, 0, nullptr});
    }
    return submenu;
}

FinderSync::FinderSync(FinderSyncHost& host, UserAccountSource account, std::optional<fs::path> configurationHome)
    : log_(kExtensionSubsystem, "FinderSync"),
      host_(host),
      account_(std::move(account)),
      configurationHome_(std::move(configurationHome)) {
    const auto entry = account_ ? account_() : std::nullopt;
    roots_ = quillet::monitoredRoots(entry, configurationHome_);
    if (entry && !entry->homeFolder.empty())
        templates_ = UserTemplates(userTemplatesFolder(entry->homeFolder, configurationHome_));
    host_.setDirectoryURLs(roots_);
    std::string joined;
    for (const auto& root : roots_) {
        if (!joined.empty()) joined += " | ";
        joined += root.string();
    }
    log_.log("FinderSync initialized with monitored roots: %{public}s", joined);
}

std::optional<FinderSyncMenu> FinderSync::menuForMenuKind(long kind) const {
    const auto known = finderMenuKindFromRawValue(kind);
    if (!known || *known == FinderMenuKind::contextualMenuForSidebar) {
        log_.log("Ignoring menu kind=%{public}s", finderMenuKindDescription(kind));
        return std::nullopt;
    }
    log_.log("Building menu for kind=%{public}s", finderMenuKindDescription(kind));
    return buildCreateMenu();
}

FinderSync::~FinderSync() = default;

namespace {

std::optional<std::pair<unsigned long long, unsigned long long>> fileIdentity(const fs::path& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return std::make_pair(static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino));
}

}  // namespace

const DefaultsSuite& FinderSync::sharedSettings() const {
    // Opening the suite costs far more than reading it (an integrity check, the schema), and the
    // file manager asks for menus on every right click. An open connection sees every later
    // commit, so only a database that was moved aside, deleted or recreated calls for a new one.
    if (settings_ && settings_->isPersistent() && settingsFile_ &&
        fileIdentity(settings_->databasePath()) == settingsFile_)
        return *settings_;
    settings_.reset();
    settingsFile_.reset();
    const auto container = DefaultsSuite::containerDirectory(configurationHome_, DefaultsSuite::kSharedSuiteName);
    const auto before = container ? fileIdentity(*container / DefaultsSuite::kDatabaseFileName) : std::nullopt;
    // Read-only: a right click must never create, repair or move aside the application's
    // settings and folder grants. Only the application does that, when it next opens them.
    std::string failure = "no configuration folder";
    if (container) settings_ = DefaultsSuite::openReadOnly(DefaultsSuite::kSharedSuiteName, *container, failure);
    if (!settings_) {
        // Said once, not on every right click, until the reason changes or the suite opens.
        if (failure != reportedSettingsFailure_) {
            log_.error("Could not read the shared settings suite %{public}s (%{public}s); menus offer the default "
                       "file types",
                       DefaultsSuite::kSharedSuiteName, failure);
            reportedSettingsFailure_ = failure;
        }
        // An empty suite reads as the defaults; it is tried again at the next menu.
        settings_ = DefaultsSuite::openInMemory(kExtensionIdentifier);
        return *settings_;
    }
    reportedSettingsFailure_.clear();
    const auto after = fileIdentity(settings_->databasePath());
    // A file replaced while it was being opened may not be the one held: it is not kept.
    if (after && (!before || before == after)) settingsFile_ = after;
    return *settings_;
}

FinderSyncMenu FinderSync::buildCreateMenu() const {
    const DefaultsSuite& defaults = sharedSettings();
    // The Templates folder is read anew for every menu, like the settings: one pass over it.
    std::vector<FileTypeDefinition> templates = templates_.discover();
    MenuInputs inputs{defaults.get(settingsKey::enabledFileTypeIDs), defaults.get(settingsKey::fileTypeOrder),
                      defaults.get(settingsKey::knownTemplateIDs), std::move(templates)};
    // Most right clicks find the settings and the folder as the last one did: the submenu made
    // then is the same, and is handed out again rather than made anew.
    if (!lastSubmenu_ || !(lastInputs_ == inputs)) {
        lastSubmenu_ = std::make_shared<const FinderSyncMenu>(createMenuModel(offeredTypes(defaults, inputs.templates)));
        lastInputs_ = std::move(inputs);
    }
    FinderSyncMenu menu{kMenuTitle, {}};
    menu.items.push_back({FinderSyncMenuItem::Role::submenu, translate(kCreateFileTitle), true, 0, "", "",
                          kMenuGlyphSize, lastSubmenu_});
    return menu;
}

std::vector<const FileTypeDefinition*> FinderSync::offeredTypes(const DefaultsSuite& defaults,
                                                                const std::vector<FileTypeDefinition>& templates) {
    // The templates' types are taken as the scan made them, not derived from their ids again.
    const auto templateIDs = typeIDs(templates);
    std::unordered_map<std::string_view, const FileTypeDefinition*> templateByID;
    for (const auto& type : templates) templateByID.emplace(type.id, &type);
    const auto enabled = loadEnabledFileTypeIDs(defaults, templateIDs);
    std::vector<const FileTypeDefinition*> types;
    const auto& catalog = allTypes();
    for (const auto& id : loadFileTypeOrder(defaults, templateIDs)) {
        if (!enabled.count(id)) continue;
        if (const FileTypeDefinition* type = fileType(id)) {
            // The catalog's own entry, whose place in the table is the item's tag.
            types.push_back(&*std::find(catalog.begin(), catalog.end(), *type));
        } else if (auto found = templateByID.find(id); found != templateByID.end()) {
            types.push_back(found->second);
        }
    }
    return types;
}

void FinderSync::beginObservingDirectory(const fs::path& directory) {
    mostRecentObservedDirectoryURL_ = standardizedPath(directory);
    log_.log("Begin observing directory: %{public}s", directory.string());
}

void FinderSync::endObservingDirectory(const fs::path& directory) {
    if (mostRecentObservedDirectoryURL_ == standardizedPath(directory)) mostRecentObservedDirectoryURL_.reset();
    log_.log("End observing directory: %{public}s", directory.string());
}

void FinderSync::handleCreate(long tag) {
    const auto& catalog = allTypes();
    // Read unsigned, a negative tag is as far out of range as a large one.
    if (static_cast<unsigned long>(tag) >= catalog.size()) {
        log_.error("handleCreate invoked with invalid tag=%ld", tag);
        return;
    }
    const FileTypeDefinition& type = catalog[static_cast<size_t>(tag)];
    const auto folder = targetDirectoryURL();
    if (!folder) {
        log_.error("targetDirectoryURL() returned nil");
        return;
    }
    log_.log("Create requested: type=%{public}s in dir=%{public}s", type.id, folder->string());
    forwardCreateRequest(type, *folder);
}

void FinderSync::handleCreateTemplate(const std::string& typeID) {
    // Gone since the menu was shown, or never one: the application is not asked.
    const auto type = templates_.type(typeID);
    if (!type) {
        log_.error("handleCreate invoked with unknown template=%{public}s", typeID);
        return;
    }
    const auto folder = targetDirectoryURL();
    if (!folder) {
        log_.error("targetDirectoryURL() returned nil");
        return;
    }
    log_.log("Create requested: type=%{public}s in dir=%{public}s", type->id, folder->string());
    forwardCreateRequest(*type, *folder);
}

void FinderSync::handleCreateItem(long tag, const std::string& typeID) {
    if (isTemplateTypeID(typeID))
        handleCreateTemplate(typeID);
    else
        handleCreate(tag);
}

std::optional<fs::path> FinderSync::targetDirectoryURL() const {
    if (auto targeted = host_.targetedURL()) {
        log_.log("targetedURL=%{public}s", targeted->string());
        std::error_code ec;
        if (fs::is_directory(*targeted, ec)) return *targeted;
    }
    // The folder holding the selection, also when the selected item is itself a folder: the
    // user asked for a new file beside what they clicked, not inside it.
    const auto selection = host_.selectedItemURLs();
    if (!selection.empty()) {
        log_.log("selectedItemURL=%{public}s", selection.front().string());
        return containingFolder(selection.front());
    }
    if (mostRecentObservedDirectoryURL_) {
        log_.log("Falling back to most recent observed directory=%{public}s", mostRecentObservedDirectoryURL_->string());
        return mostRecentObservedDirectoryURL_;
    }
    if (auto account = account_ ? account_() : std::nullopt; account && !account->homeFolder.empty()) {
        const fs::path desktop = userDesktopFolder(standardizedPath(account->homeFolder), configurationHome_);
        std::error_code ec;
        if (fs::exists(desktop, ec)) {
            log_.log("Falling back to Desktop directory=%{public}s", desktop.string());
            return desktop;
        }
    }
    log_.error("No targetedURL or selectedItemURLs available from Finder");
    return std::nullopt;
}

void FinderSync::forwardCreateRequest(const FileTypeDefinition& type, const fs::path& folder) {
    const std::string path = standardizedPath(folder).string();
    const auto url = createRequestURL(type.id, path);
    if (!url) {
        log_.error("Could not build create-request URL for type=%{public}s dir=%{public}s", type.id, path);
        return;
    }
    // The completion may outlive this object: it keeps copies of what it logs.
    host_.openURL(*url, [log = log_, typeID = type.id, path](const std::optional<std::string>& failure) {
        if (failure)
            log.error("Failed to forward create request to containing app: type=%{public}s dir=%{public}s: %{public}s",
                      typeID, path, *failure);
        else
            log.log("Forwarded create request to containing app: type=%{public}s dir=%{public}s", typeID, path);
    });
}

bool FinderSync::isMonitored(const fs::path& folder) const {
    const fs::path candidate = standardizedPath(folder);
    if (!candidate.is_absolute()) return false;
    for (const auto& root : roots_) {
        // Component by component, so /media does not cover /mediaX.
        if (std::mismatch(root.begin(), root.end(), candidate.begin(), candidate.end()).first == root.end())
            return true;
    }
    return false;
}

}  // namespace quillet
