#pragma once

#include <filesystem>
#include <string>

namespace quillet {

// Folders travel as absolute paths. "Standardized" means lexically normal: no "." or ".."
// segments, no repeated separators and no trailing separator (except the root itself).
std::filesystem::path standardizedPath(const std::filesystem::path& path);

// The folder an item lies in: the standardized path without its last component ("/" stays
// "/"). A file manager's click on an item means this folder, also when the item is a folder.
std::filesystem::path containingFolder(const std::filesystem::path& item);

// The last segment of a path; "/" for the root, "" for an empty path.
std::string lastPathComponent(const std::filesystem::path& path);

// The real home folder from the account database of the current user id, never $HOME.
// Empty when the user has no entry.
std::filesystem::path accountHomeFolder();

// The login name from the same entry; empty when the user has no entry.
std::string accountUserName();

}  // namespace quillet
