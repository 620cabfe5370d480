#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {
class ResourceBundle;
struct UserEnvironment;
}  // namespace quillet

namespace quillet::cli {

// Exit statuses of the command line.
inline constexpr int kExitOK = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Invocation {
    std::vector<std::string> args;  // the words after the command name
    std::ostream& out;
    std::ostream& err;
    // What the composition root found: the user's folders and the program's resources.
    const UserEnvironment& environment;
    const ResourceBundle& resources;
};

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line for --help
    int (*run)(Invocation&);
};

// Every command, in --help order. Each lives in its own <Name>Command.cpp.
std::span<const Command> commands();

// Removes "--flag VALUE" or "--flag=VALUE" from args; returns whether it was present.
bool takeOption(std::vector<std::string>& args, std::string_view flag, std::string& value);
// Removes a bare "--flag"; returns whether it was present.
bool takeFlag(std::vector<std::string>& args, std::string_view flag);
// Prints "quillet: message" and returns kExitUsage.
int usageError(Invocation& inv, std::string_view message);

int runCommandLine(int argc, char** argv, const UserEnvironment& environment, const ResourceBundle& resources);

int typesCommand(Invocation&);
int createCommand(Invocation&);
int destinationCommand(Invocation&);
int defaultsCommand(Invocation&);
int grantsCommand(Invocation&);
int openCommand(Invocation&);
int quickCreateCommand(Invocation&);
int checkForUpdatesCommand(Invocation&);
int uninstallCommand(Invocation&);

// Hands a URL to the create-request handler, as the desktop does with "quillet URL": the new
// file's path on stdout and 0; 0 for a URL that is ignored or only brings the application
// forward; 1 after an alert.
int openURL(Invocation& inv, const std::string& url);

}  // namespace quillet::cli
