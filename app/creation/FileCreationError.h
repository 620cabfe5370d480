#pragma once

#include <optional>
#include <string>

#include "shared/errors/PlatformError.h"
#include "shared/errors/UserFacingError.h"

namespace quillet {

// Why a new file could not be created; description() is the text the user sees.
class FileCreationError : public UserFacingError {
public:
    enum class Kind { templateMissing, writeFailed, invalidFileName };

    // The office template resource (e.g. blank.docx) is not among the application's resources.
    static FileCreationError templateMissing(std::string resourceName);
    // The file system refused; the user sees its own description.
    static FileCreationError writeFailed(PlatformError underlying);
    static FileCreationError invalidFileName();

    Kind kind() const { return kind_; }
    // The resource looked for (templateMissing), else empty.
    const std::string& resourceName() const { return resourceName_; }
    // The file system's error (writeFailed), else none.
    const std::optional<PlatformError>& underlyingError() const { return underlying_; }

private:
    FileCreationError(Kind kind, std::string description, std::string resourceName,
                      std::optional<PlatformError> underlying);
    Kind kind_;
    std::string resourceName_;
    std::optional<PlatformError> underlying_;
};

}  // namespace quillet
