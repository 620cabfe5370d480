#include "programs/quillet-app/CommandLine.h"

#include <iostream>

#include "app/requests/URLComponents.h"
#include "programs/quillet-app/Application.h"
#include "quillet/Version.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

namespace {

// TRANSLATORS: the command lines of "quillet --help". Keep the command, its words in capitals and
// the column the description starts in (a continued line starts with the same spaces).
const Command kCommands[] = {
    {"types", N_("types [--all]            list the offered file types in your order (--all: enabled or not)"),
     typesCommand},
    {"create",
     N_("create TYPE [FOLDER]     create a new file of TYPE (see types) in FOLDER and print its path;\n"
        "                           without FOLDER: on the Desktop, or with --destination frontFinderFolder\n"
        "                           in the front file manager window's folder, and print the status line;\n"
        "                           with --item PATH...: in the folder a file manager click on the first PATH\n"
        "                           means (PATH itself when it is a folder, else the folder holding it)"),
     createCommand},
    {"destination",
     N_("destination [MODE]       print the folder MODE creates in and its short name\n"
        "                           (MODE: desktop, the default, or frontFinderFolder)"),
     destinationCommand},
    {"defaults",
     N_("defaults VERB ...        settings suite: read [KEY], write KEY -json VALUE | -data HEX, delete KEY\n"
        "                           (--suite NAME or --standard picks another suite)"),
     defaultsCommand},
    {"grants", N_("grants VERB ...          saved folder grants: list, add FOLDER, remove FOLDER"), grantsCommand},
    {"shortcut",
     N_("shortcut VERB ...        the Quick Create and per-type shortcuts: list, set quick-create|TYPE\n"
        "                           COMBINATION (Ctrl+Alt+M: Ctrl, Alt or Super and one key), clear TYPE"),
     shortcutCommand},
    {"open",
     N_("open URL                 carry out a quillaxe: request URL in this process and print the new\n"
        "                           file (quillet URL hands it to the running Quillet+ instead)"),
     openCommand},
    {"quick-create",
     N_("quick-create             show the Quick Create panel (starts Quillet+ when it is not running)"),
     quickCreateCommand},
    {"check-for-updates",
     N_("check-for-updates        check for a newer version (starts Quillet+ when it is not running)"),
     checkForUpdatesCommand},
    {"uninstall",
     N_("uninstall                move Quillet+ to the Trash and remove its settings (asks first);\n"
        "                           installed by the package manager: remove your settings only"),
     uninstallCommand},
};

// "quillet COMMAND --help": the command's own lines of the overview, its description kept in
// one column.
void printCommandHelp(std::ostream& out, const Command& command) {
    constexpr std::string_view continuation = "\n                           ";
    const std::string prefix = "usage: quillet ";
    std::string text(translate(std::string(command.synopsis).c_str()));
    for (size_t at = text.find(continuation); at != std::string::npos; at = text.find(continuation, at + 1))
        text.insert(at + 1, prefix.size() - 2, ' ');
    out << prefix << text << "\n";
}

void printHelp(std::ostream& out) {
    // TRANSLATORS: %1 is the version number.
    out << formatText(translate("Quillet+ %1: new files of sixteen types, wherever you are."), {QUILLET_VERSION})
        << "\n\n"
        << translate(
               "Usage: quillet             start Quillet+, or bring the running one forward\n"
               "       quillet COMMAND [ARGS]\n\nCommands:\n");
    for (const auto& c : commands()) out << "  " << translate(std::string(c.synopsis).c_str()) << "\n";
    out << "\n"
        << translate(
               "  --help                   show this text\n"
               "  --version                show the version\n")
        << "\n"
        << translate(
               "quillet URL, quick-create and create TYPE --destination MODE are carried out by the running\n"
               "Quillet+ when there is one; a creation still prints the new file's path, or the error.\n")
        << "\n"
        << translate(
               "Exit status: 0 done; 1 failed (the error is on standard error); 2 the command line was not\n"
               "understood; 3 handed to the running Quillet+, which had not finished within 3 seconds (it may\n"
               "be showing a message about it).\n");
}

}  // namespace

std::span<const Command> commands() { return kCommands; }

int runCommandLine(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources) {
    std::vector<std::string> words(argv + 1, argv + argc);
    Invocation inv{{}, std::cout, std::cerr, environment, resources};
    // No arguments: the desktop (or the user) starts the application itself.
    if (words.empty()) return runApplication(argc, argv, environment, resources);
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        printHelp(std::cout);
        return kExitOK;
    }
    if (words[0] == "--version") {
        std::cout << "Quillet+ " << QUILLET_VERSION << "\n";
        return kExitOK;
    }
    // The desktop starts "quillet %u" for the quillaxe: links it hands over.
    if (urlScheme(words[0])) {
        if (words.size() != 1) return usageError(inv, translate("a URL is the only argument (quillet URL)"));
        return openURL(inv, words[0], true);
    }
    for (const auto& c : commands()) {
        if (words[0] == c.name) {
            if (words.size() > 1 && (words[1] == "--help" || words[1] == "-h")) {
                printCommandHelp(std::cout, c);
                return kExitOK;
            }
            inv.args.assign(words.begin() + 1, words.end());
            return c.run(inv);
        }
    }
    return usageError(inv, formatText(translate("unknown command \"%1\" (see quillet --help)"), {words[0]}));
}

}  // namespace quillet::cli
