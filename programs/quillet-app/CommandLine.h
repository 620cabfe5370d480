#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands/Invocation.h"

namespace quillet::cli {

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line for --help
    int (*run)(Invocation&);
};

// Every command, in --help order. Each lives in its own <Name>Command.cpp.
std::span<const Command> commands();

int runCommandLine(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources);

int typesCommand(Invocation&);
int createCommand(Invocation&);
int destinationCommand(Invocation&);
int defaultsCommand(Invocation&);
int grantsCommand(Invocation&);
int shortcutCommand(Invocation&);
int openCommand(Invocation&);
int quickCreateCommand(Invocation&);
int checkForUpdatesCommand(Invocation&);
int uninstallCommand(Invocation&);

// Hands a URL to the create-request handler, as the desktop does with "quillet URL": the new
// file's path on stdout and 0; 0 for a URL that is ignored or only brings the application
// forward; 1 after an alert. Without `dialogs` (the scriptable "open" form) the alert goes to
// standard error instead of a window, so nothing waits on a dialog.
int openURL(Invocation& inv, const std::string& url, bool dialogs);

}  // namespace quillet::cli
