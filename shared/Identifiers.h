#pragma once

// The product's identifiers, spelled once. The application, the command line and the
// file-manager extension all name themselves and their shared settings through these.

namespace quillet {

// The application's bundle identifier: its log subsystem, desktop entry name and own settings.
inline constexpr const char* kBundleIdentifier = "org.quillet.Quillet";
// The file-manager extension's identifier, its log subsystem.
inline constexpr const char* kExtensionIdentifier = "org.quillet.Quillet.FinderSync";
// The app group both share: the name of the settings suite they both open.
inline constexpr const char* kAppGroupIdentifier = "group.org.quillet.Quillet";

// The X property our Nemo and Caja modules mark each window with: the folder it shows (UTF-8).
inline constexpr const char* kFolderMarkProperty = "_QUILLET_PLUS_FOLDER";

// Set by our file-manager modules in the environment of the program a create link starts: the
// file manager's process, which is then asked to show the new file.
inline constexpr const char* kRequestingProcessVariable = "QUILLET_REQUESTING_PID";

}  // namespace quillet
