#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace quillet {

// The file in the configuration home where the desktop records the user's own folders, as
// lines such as XDG_DESKTOP_DIR="$HOME/Schreibtisch".
inline constexpr const char* kUserDirectoriesFileName = "user-dirs.dirs";

// The Desktop named by the text of a user-dirs.dirs file: the last well-formed XDG_DESKTOP_DIR
// line, whose double-quoted value is "$HOME", "$HOME/..." (in `home`) or an absolute path, with
// backslash escapes as the desktop writes them. Comments, other keys and malformed lines are
// skipped; nothing when no line names a usable folder.
std::optional<std::filesystem::path> desktopFolderFromUserDirectories(std::string_view text,
                                                                      const std::filesystem::path& home);

// The folder of one key (XDG_DESKTOP_DIR, XDG_TEMPLATES_DIR, ...) by the same rules.
std::optional<std::filesystem::path> userDirectoryFromUserDirectories(std::string_view text, std::string_view key,
                                                                       const std::filesystem::path& home);

// The user's Desktop, standardized: from <configurationHome>/user-dirs.dirs, so a localized
// desktop (~/Schreibtisch, ~/Bureau) is found, else <home>/Desktop. `home` is the real home,
// which $HOME in the file stands for.
std::filesystem::path userDesktopFolder(const std::filesystem::path& home,
                                        const std::optional<std::filesystem::path>& configurationHome);

// The user's Templates folder, standardized: XDG_TEMPLATES_DIR of user-dirs.dirs (~/Vorlagen on a
// German desktop), else <home>/Templates. Nothing when it names the home itself or "/", which is
// how the desktop says the user has no Templates folder, and nothing without a home (or "/").
std::optional<std::filesystem::path> userTemplatesFolder(const std::filesystem::path& home,
                                                         const std::optional<std::filesystem::path>& configurationHome);

}  // namespace quillet
