#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "shared/errors/UserFacingError.h"
#include "shared/paths/FolderPath.h"

namespace quillet {

// Why a parsed request names a folder the application will not touch. The request URL can be
// opened by any web page, so its folder is checked before it reaches the file system.
class CreateFileRequestError : public UserFacingError {
public:
    enum class Kind { relativeDirectory, directoryContainsNUL };

    static CreateFileRequestError relativeDirectory(std::string directoryPath);
    static CreateFileRequestError directoryContainsNUL(std::string directoryPath);

    Kind kind() const { return kind_; }
    const std::string& directoryPath() const { return directoryPath_; }

private:
    CreateFileRequestError(Kind kind, std::string directoryPath, std::string description);
    Kind kind_;
    std::string directoryPath_;
};

// A request from the file-manager extension: create a file of this type in this folder.
struct CreateFileRequest {
    std::string typeID;
    std::string directoryPath;

    bool operator==(const CreateFileRequest&) const = default;

    // Reads quillaxe://create?type=ID&directory=PATH. Scheme and host must match exactly (case
    // included); item order is free, the first item of each name wins, other items are ignored.
    // Nothing when the text is not a well-formed URL or an item is missing, has no value or an
    // empty one. The folder is not judged here: see folderURL().
    static std::optional<CreateFileRequest> parse(std::string_view url);

    // The folder to create in: directoryPath with "." and ".." resolved, so the folder checked
    // against the saved grants is the folder written to. Throws CreateFileRequestError when the
    // path is not absolute or holds a NUL byte.
    FolderPath folderURL() const;
};

}  // namespace quillet
