#pragma once

#include <filesystem>

namespace quillet {

// Starts and stops access to a granted folder around one operation. Callers pair every start
// that returned true with exactly one stop, on every path.
class SecurityScopedAccess {
public:
    virtual ~SecurityScopedAccess() = default;
    virtual bool startAccessing(const std::filesystem::path& url) = 0;
    virtual void stopAccessing(const std::filesystem::path& url) = 0;
};

}  // namespace quillet
