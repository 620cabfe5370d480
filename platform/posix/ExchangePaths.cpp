#include "platform/posix/ExchangePaths.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace quillet {

void exchangePaths(const std::filesystem::path& first, const std::filesystem::path& second) {
    if (::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) != 0)
        throw std::system_error(errno, std::generic_category(),
                                "exchange " + first.string() + " and " + second.string());
}

}  // namespace quillet
