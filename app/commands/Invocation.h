#pragma once

#include <iosfwd>
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

// One command as a program was asked to run it.
struct Invocation {
    std::vector<std::string> args;  // the words after the command name
    std::ostream& out;
    std::ostream& err;
    // What the composition root found: the user's folders and the program's resources.
    const UserEnvironment& environment;
    const ResourceBundle& resources;
};

// Removes "--flag VALUE" or "--flag=VALUE" from args; returns whether it was present.
bool takeOption(std::vector<std::string>& args, std::string_view flag, std::string& value);
// Removes a bare "--flag"; returns whether it was present.
bool takeFlag(std::vector<std::string>& args, std::string_view flag);
// Prints "quillet: message" and returns kExitUsage.
int usageError(Invocation& inv, std::string_view message);

}  // namespace quillet::cli
