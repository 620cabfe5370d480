#pragma once

#include <filesystem>
#include <string>

#include "shared/errors/UserFacingError.h"

namespace quillet {

// An error reported by the operating system or a platform facility, carried unchanged to the
// user as its own description (the counterpart of a wrapped platform error).
class PlatformError : public UserFacingError {
public:
    static constexpr const char* kPosixDomain = "NSPOSIXErrorDomain";
    static constexpr const char* kCocoaDomain = "NSCocoaErrorDomain";
    // Codes of the Cocoa domain this system relies on.
    static constexpr int kFileReadCorruptFile = 259;
    static constexpr int kFileWriteUnknown = 512;

    PlatformError(std::string domain, int code, std::string description);

    const std::string& domain() const { return domain_; }
    int code() const { return code_; }

    // A failed attempt to save `file`, described the way a file manager would tell the user.
    static PlatformError fileWrite(int errnoValue, const std::filesystem::path& file);
    // The write coordinator handed back without running the write.
    static PlatformError fileWriteUnknown(const std::filesystem::path& file);
    // Any other failed system call, with what was being done.
    static PlatformError posix(int errnoValue, const std::string& what);

private:
    std::string domain_;
    int code_;
};

}  // namespace quillet
