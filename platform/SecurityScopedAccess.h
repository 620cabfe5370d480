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

// Access to a folder for the length of one operation, stopped on every way out.
class ScopedFolderAccess {
public:
    ScopedFolderAccess(SecurityScopedAccess& access, std::filesystem::path folder)
        : access_(access), folder_(std::move(folder)), started_(access_.startAccessing(folder_)) {}
    ~ScopedFolderAccess() {
        if (started_) access_.stopAccessing(folder_);
    }
    ScopedFolderAccess(const ScopedFolderAccess&) = delete;
    ScopedFolderAccess& operator=(const ScopedFolderAccess&) = delete;

private:
    SecurityScopedAccess& access_;
    std::filesystem::path folder_;
    bool started_;
};

}  // namespace quillet
