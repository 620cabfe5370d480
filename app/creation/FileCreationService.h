#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/creation/FileCreationError.h"
#include "platform/FileCoordinator.h"
#include "platform/FileManager.h"
#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// Every new file is named after this word, never localized.
inline constexpr const char* kNewFileBaseName = "Untitled";
// Office templates are resources named "blank.<extension>".
inline constexpr const char* kTemplateResourceName = "blank";

// Writes a new file of `type` into `folder` under the first free "Untitled" name and returns
// its path, under the file manager's coordinator. Never overwrites. Throws FileCreationError.
std::filesystem::path createFile(const FileTypeDefinition& type, const std::filesystem::path& folder,
                                 const FileManager& fileManager);

// The first of "base.ext", "base 2.ext", "base 3.ext", ... in `folder` at which nothing
// exists. Gaps are not looked for and existing names are never parsed.
std::filesystem::path uniqueFileURL(const std::filesystem::path& folder, const std::string& baseName,
                                    const std::string& fileExtension, const FileManager& fileManager);

// The initial text of a non-office file (UTF-8, no byte-order mark); empty for most types.
std::string templateText(const FileTypeDefinition& type);

using WriteAccessor = std::function<void(const std::filesystem::path&)>;

// Runs `accessor` on the location the coordinator hands over for writing `url`. Reports, in
// this order: the coordinator's failure; an accessor that never ran; the accessor's own error.
void coordinatedWrite(const std::filesystem::path& url, const WriteAccessor& accessor,
                      FileCoordinator& coordinator);

}  // namespace quillet
