#include "shared/errors/PlatformError.h"

#include <cerrno>
#include <cstring>

#include "shared/paths/FilePaths.h"
#include "shared/text/Translation.h"

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
            // TRANSLATORS: %1 is the file's name, %2 its folder's, both in quotation marks already.
            text = formatText(translate("You don\u2019t have permission to save the file %1 in the folder %2."),
                              {name, folder});
            break;
        case EROFS:
            text = formatText(translate("The file %1 couldn\u2019t be saved because the volume is read only."), {name});
            break;
        case EEXIST:
            text = formatText(translate("The file %1 couldn\u2019t be saved in the folder %2 because a file with the "
                                        "same name already exists."),
                              {name, folder});
            break;
        case ENOSPC:
        case EDQUOT:
            text = formatText(translate("The file %1 couldn\u2019t be saved because there isn\u2019t enough space."),
                              {name});
            break;
        case EFBIG:
            text = formatText(translate("The file %1 couldn\u2019t be saved because it is too large."), {name});
            break;
        case ENOENT:
        case ENOTDIR:
            text = formatText(translate("The file %1 couldn\u2019t be saved because the folder %2 doesn\u2019t exist."),
                              {name, folder});
            break;
        case ELOOP:
            text = formatText(translate("The file %1 couldn\u2019t be saved in the folder %2 because a link with the "
                                        "same name is in the way."),
                              {name, folder});
            break;
        default:
            // TRANSLATORS: %3 is the system's reason.
            text = formatText(translate("The file %1 couldn\u2019t be saved in the folder %2: %3."),
                              {name, folder, std::strerror(e)});
    }
    return PlatformError(kPosixDomain, e, text);
}

PlatformError PlatformError::fileWriteUnknown(const std::filesystem::path& file) {
    return PlatformError(
        kCocoaDomain, kFileWriteUnknown,
        formatText(translate("The file \u201C%1\u201D couldn\u2019t be saved."), {file.filename().string()}));
}

PlatformError PlatformError::posix(int e, const std::string& what) {
    return PlatformError(kPosixDomain, e, what + ": " + std::strerror(e));
}

}  // namespace quillet
