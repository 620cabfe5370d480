#include <optional>
#include <ostream>
#include <string>

#include "app/keys/QuickCreateShortcut.h"
#include "app/keys/ShortcutConflicts.h"
#include "app/settings/AppSettings.h"
#include "programs/quillet-app/CommandLine.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

namespace {

constexpr const char* kQuickCreate = "quick-create";
constexpr const char* kUsage =
    "usage: quillet shortcut list\n"
    "       quillet shortcut set quick-create|TYPE COMBINATION   (e.g. Ctrl+Alt+M)\n"
    "       quillet shortcut clear TYPE";

// The shortcut settings as the shortcuts card reads them. Only the two shortcut keys are ever
// written: nothing else a first launch decides is stored from here.
struct ShortcutSettings {
    std::unique_ptr<DefaultsSuite> suite;
    std::vector<std::string> templateIDs;
    QuickCreateShortcut quickCreate;
    FileTypeShortcuts fileTypes;
    std::vector<FileTypeDefinition> orderedTypes;
    std::set<std::string> enabledIDs;

    explicit ShortcutSettings(const UserEnvironment& environment)
        : suite(DefaultsSuite::openShared(environment.configurationHome)),
          templateIDs(typeIDs(UserTemplates(environment.templatesFolder()).discover())),
          quickCreate(loadQuickCreateShortcut(*suite)),
          fileTypes(loadFileTypeShortcuts(*suite, templateIDs)),
          orderedTypes(orderedFileTypes(loadFileTypeOrder(*suite, templateIDs))),
          enabledIDs(loadEnabledFileTypeIDs(*suite, templateIDs)) {}
};

// One line of the list: the name, the combination as the desktop writes it (or "none"), and what
// the card says beside it when that is more than the extension: the conflict, or "disabled".
void printQuickCreate(std::ostream& out, const ShortcutSettings& s) {
    out << kQuickCreate << '\t' << s.quickCreate.displayString();
    if (auto conflict = quickCreateConflictDescription(s.quickCreate, s.fileTypes, s.orderedTypes))
        out << '\t' << *conflict;
    out << '\n';
}

void printType(std::ostream& out, const ShortcutSettings& s, const FileTypeDefinition& type) {
    const auto found = s.fileTypes.find(type.id);
    out << type.id << '\t' << (found == s.fileTypes.end() ? std::string("none") : found->second.displayString());
    if (!s.enabledIDs.count(type.id))
        out << "\tdisabled";
    else if (found != s.fileTypes.end())
        if (auto conflict = conflictDescription(found->second, s.quickCreate, s.fileTypes, s.orderedTypes, type.id))
            out << '\t' << *conflict;
    out << '\n';
}

int list(Invocation& inv) {
    if (inv.args.size() != 1) return usageError(inv, kUsage);
    const ShortcutSettings s(inv.environment);
    printQuickCreate(inv.out, s);
    for (const auto& type : s.orderedTypes) printType(inv.out, s, type);
    return kExitOK;
}

// A refused write: said, and the status a script can test.
int notSaved(Invocation& inv, const DefaultsWriteError& error) {
    inv.err << "quillet: " << error.description() << "\n";
    return kExitFailure;
}

// Stores the combination as a recording in the card would, and names a conflict as the card
// shows it; the combination is kept all the same, as there, so the user can move the other one.
int set(Invocation& inv) {
    if (inv.args.size() != 3) return usageError(inv, kUsage);
    const std::string& target = inv.args[1];
    const UserTemplates templates(inv.environment.templatesFolder());
    const auto type = target == kQuickCreate ? std::nullopt : creatableFileType(target, templates);
    if (target != kQuickCreate && !type)
        return usageError(
            inv,
            formatText(translate("unknown file type \"%1\" (quick-create, or see quillet types --all)"), {target}));
    QuickCreateShortcut shortcut;
    try {
        shortcut = parseKeyCombination(inv.args[2]);
    } catch (const KeyCombinationError& error) {
        inv.err << "quillet: " << error.description() << "\n";
        return kExitFailure;
    }
    ShortcutSettings s(inv.environment);
    std::optional<std::string> conflict;
    try {
        if (!type) {
            storeQuickCreateShortcut(*s.suite, shortcut);
            s.quickCreate = shortcut;
            conflict = quickCreateConflictDescription(shortcut, s.fileTypes, s.orderedTypes);
            printQuickCreate(inv.out, s);
        } else {
            conflict = conflictDescription(shortcut, s.quickCreate, s.fileTypes, s.orderedTypes, type->id);
            auto shortcuts = s.fileTypes;
            shortcuts[type->id] = shortcut;
            storeFileTypeShortcuts(*s.suite, shortcuts);
            s.fileTypes = std::move(shortcuts);
            printType(inv.out, s, *type);
        }
    } catch (const DefaultsWriteError& error) {
        return notSaved(inv, error);
    }
    if (conflict) inv.err << "quillet: " << *conflict << "\n";
    return kExitOK;
}

int clear(Invocation& inv) {
    if (inv.args.size() != 2) return usageError(inv, kUsage);
    const std::string& target = inv.args[1];
    if (target == kQuickCreate) {
        // Quick Create always has a shortcut; the card offers only to reset it.
        inv.err << "quillet: "
                << formatText(
                       translate("the Quick Create shortcut cannot be cleared, only changed (quillet shortcut set "
                                 "%1 restores the default)"),
                       {std::string(kQuickCreate) + ' ' + defaultQuickCreateShortcut.displayString()})
                << "\n";
        return kExitFailure;
    }
    const auto type = creatableFileType(target, UserTemplates(inv.environment.templatesFolder()));
    if (!type)
        return usageError(inv, formatText(translate("unknown file type \"%1\" (see quillet types --all)"), {target}));
    ShortcutSettings s(inv.environment);
    auto shortcuts = s.fileTypes;
    if (shortcuts.erase(type->id)) {
        try {
            storeFileTypeShortcuts(*s.suite, shortcuts);
        } catch (const DefaultsWriteError& error) {
            return notSaved(inv, error);
        }
        s.fileTypes = std::move(shortcuts);
    }
    printType(inv.out, s, *type);
    return kExitOK;
}

}  // namespace

// Shows and changes the Quick Create and per-type shortcuts by name, as the shortcuts card does.
// A running Quillet+ picks the change up from the settings within a second.
int shortcutCommand(Invocation& inv) {
    if (inv.args.empty()) return usageError(inv, kUsage);
    const std::string& verb = inv.args[0];
    if (verb == "list") return list(inv);
    if (verb == "set") return set(inv);
    if (verb == "clear") return clear(inv);
    return usageError(inv, formatText(translate("unknown shortcut verb \"%1\""), {verb}) + "\n" + kUsage);
}

}  // namespace quillet::cli
