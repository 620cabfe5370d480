#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "app/access/SecurityScopedFolderAccess.h"
#include "programs/quillet-app/CommandLine.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/paths/FilePaths.h"
#include "shared/paths/UserEnvironment.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

namespace {

constexpr const char* kUsage =
    "usage: quillet grants list\n"
    "       quillet grants add FOLDER\n"
    "       quillet grants remove FOLDER";

// Relative folders are taken from the working folder, like every other path on the command line.
std::filesystem::path absoluteFolder(const std::string& word) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(word, ec);
    if (ec) path = word;
    return standardizedPath(path);
}

}  // namespace

int grantsCommand(Invocation& inv) {
    const auto& args = inv.args;
    if (args.empty())
        return usageError(inv, std::string(translate("grants needs list, add or remove")) + "\n" + kUsage);
    const std::string& verb = args[0];
    if (verb == "list") {
        if (args.size() != 1) return usageError(inv, std::string(translate("list takes no arguments")) + "\n" + kUsage);
    } else if (verb == "add" || verb == "remove") {
        if (args.size() != 2 || args[1].empty())
            return usageError(inv, formatText(translate("%1 needs one folder"), {verb}) + "\n" + kUsage);
    } else {
        return usageError(inv, formatText(translate("unknown grants verb \"%1\""), {verb}) + "\n" + kUsage);
    }

    // The same suite the application keeps its grants in.
    auto suite = DefaultsSuite::openShared(inv.environment.configurationHome);
    if (!suite->isPersistent()) {
        inv.err << "quillet: "
                << formatText(translate("could not open the settings suite %1"), {DefaultsSuite::kSharedSuiteName})
                << "\n";
        return kExitFailure;
    }
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames displayNames;
    SecurityScopedFolderAccess access(*suite, bookmarks, displayNames);

    if (verb == "list") {
        for (const auto& root : access.savedFolderRoots()) inv.out << root.string() << '\n';
        return kExitOK;
    }
    const std::filesystem::path folder = absoluteFolder(args[1]);
    if (verb == "remove") {
        if (!access.removeSavedAccess(folder)) {
            inv.err << "quillet: " << formatText(translate("could not remove the grant for %1"), {folder.string()})
                    << "\n";
            return kExitFailure;
        }
        return kExitOK;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        inv.err << "quillet: " << folder.string() << ": " << std::strerror(errno) << "\n";
        return kExitFailure;
    }
    if (!S_ISDIR(st.st_mode)) {
        inv.err << "quillet: " << formatText(translate("%1 is not a folder"), {folder.string()}) << "\n";
        return kExitFailure;
    }
    try {
        access.saveBookmark(folder, folder);
    } catch (const SecurityScopedFolderAccessError& e) {
        inv.err << "quillet: " << e.description() << "\n";
        return kExitFailure;
    }
    inv.out << folder.string() << '\n';
    return kExitOK;
}

}  // namespace quillet::cli
