#include "app/creation/FileCreationError.h"

#include "shared/text/Translation.h"

namespace quillet {

FileCreationError::FileCreationError(Kind kind, std::string description, std::string resourceName,
                                     std::optional<PlatformError> underlying)
    : UserFacingError(std::move(description)),
      kind_(kind),
      resourceName_(std::move(resourceName)),
      underlying_(std::move(underlying)) {}

FileCreationError FileCreationError::templateMissing(std::string resourceName) {
    std::string text = formatText(translate("Could not find bundled template \"%1\"."), {resourceName});
    return FileCreationError(Kind::templateMissing, std::move(text), std::move(resourceName),
                             std::nullopt);
}

FileCreationError FileCreationError::writeFailed(PlatformError underlying) {
    std::string text = underlying.description();
    return FileCreationError(Kind::writeFailed, std::move(text), {}, std::move(underlying));
}

FileCreationError FileCreationError::invalidFileName() {
    return FileCreationError(Kind::invalidFileName, translate("Please enter a valid file name."), {}, std::nullopt);
}

}  // namespace quillet
