#include "shared/errors/PlatformError.h"

#include <cerrno>
#include <cstring>

#include "shared/paths/FilePaths.h"

namespace quillet {

PlatformError::PlatformError(std::string domain, int code, std::string description)
    : UserFacingError(std::move(description)), domain_(std::move(domain)), code_(code) {}

PlatformError PlatformError::fileWrite(int e, const std::filesystem::path& file) {
    const std::string name = "\u201C" + file.filename().string() + "\u201D";
    const std::string folder = "\u201C" + lastPathComponent(file.parent_path()) + "\u201D";
    std::string text;
    switch (e) {
        case EACCES:
        case EPERM:
            text = "You don\u2019t have permission to save the file " + name + " in the folder " +
                   folder + ".";
            break;
        case EROFS:
            text = "The file " + name + " couldn\u2019t be saved because the volume is read only.";
            break;
        case EEXIST:
            text = "The file " + name + " couldn\u2019t be saved in the folder " + folder +
                   " because a file with the same name already exists.";
            break;
        case ENOSPC:
        case EDQUOT:
            text = "The file " + name + " couldn\u2019t be saved because there isn\u2019t enough space.";
            break;
        case EFBIG:
            text = "The file " + name + " couldn\u2019t be saved because it is too large.";
            break;
        case ENOENT:
        case ENOTDIR:
            text = "The file " + name + " couldn\u2019t be saved because the folder " + folder +
                   " doesn\u2019t exist.";
            break;
        case ELOOP:
            text = "The file " + name + " couldn\u2019t be saved in the folder " + folder +
                   " because a link with the same name is in the way.";
            break;
        default:
            text = "The file " + name + " couldn\u2019t be saved in the folder " + folder + ": " +
                   std::strerror(e) + ".";
    }
    return PlatformError(kPosixDomain, e, text);
}

PlatformError PlatformError::fileWriteUnknown(const std::filesystem::path& file) {
    return PlatformError(kCocoaDomain, kFileWriteUnknown,
                         "The file \u201C" + file.filename().string() +
                             "\u201D couldn\u2019t be saved.");
}

PlatformError PlatformError::posix(int e, const std::string& what) {
    return PlatformError(kPosixDomain, e, what + ": " + std::strerror(e));
}

}  // namespace quillet
