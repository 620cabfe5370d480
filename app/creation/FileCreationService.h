#pragma once

#include <filesystem>
#include <string>

#include "app/creation/FileCreationError.h"
#include "platform/posix/NewFileWriter.h"
#include "shared/catalog/FileTypeDefinition.h"
#include "shared/paths/FolderPath.h"

namespace quillet {

// Every new file is named after this word, never localized.
inline constexpr const char* kNewFileBaseName = "Untitled";
// Office templates are resources named "blank.<extension>".
inline constexpr const char* kTemplateResourceName = "blank";
// Names tried for one new file. Losing a name means another creator took it between the look
// and the link, microseconds apart; the next look starts past it, so even many creators working
// flat out in one folder cost a creation a few tries at most (8 processes creating 500 files
// each at once lose a handful in a row). The bound only keeps a folder that refuses every name
// from holding the caller forever.
inline constexpr unsigned kNewFileNameAttempts = 64;

// Writes a new file of `type` into `folder` under the first free "Untitled" name and returns
// its path. The content is written in full before the file takes its name, which never
// replaces anything; when another creator takes the name first, the file takes the next free
// one instead. Throws FileCreationError.
std::filesystem::path createFile(const FileTypeDefinition& type, const FolderPath& folder,
                                 const NewFileWriter& fileWriter);

// The first of "base.ext", "base 2.ext", "base 3.ext", ... in `folder` at which nothing
// exists (by NewFileWriter::fileExists), gaps not looked for. Past the first few names the
// folder is read once, and the numbers it shows taken are skipped without a look of their own.
std::filesystem::path uniqueFileURL(const std::filesystem::path& folder, const std::string& baseName,
                                    const std::string& fileExtension, const NewFileWriter& fileWriter);

// The initial text of a non-office file (UTF-8, no byte-order mark); empty for most types.
std::string templateText(const FileTypeDefinition& type);

}  // namespace quillet
