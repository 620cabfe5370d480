// The argument helpers of the commands, without the toolkit: the launcher runs some commands too.
#include <ostream>

#include "app/commands/Invocation.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

bool takeOption(std::vector<std::string>& args, std::string_view flag, std::string& value) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == flag && i + 1 < args.size()) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
        if (a.size() > flag.size() && a.starts_with(flag) && a[flag.size()] == '=') {
            value = a.substr(flag.size() + 1);
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

bool takeFlag(std::vector<std::string>& args, std::string_view flag) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == flag) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

int usageError(Invocation& inv, std::string_view message) {
    // A message of the catalogue in the session's language; one made of others was translated when made.
    inv.err << "quillet: " << translate(std::string(message).c_str()) << "\n";
    return kExitUsage;
}

}  // namespace quillet::cli
