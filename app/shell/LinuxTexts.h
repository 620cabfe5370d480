#pragma once

// The texts whose original wording states a fact of another operating system: on Linux that
// would tell the user something false, so these are their Linux-true counterparts, in the same
// place and tone. Every such replacement lives here, so a reader finds all of them in one place.

namespace quillet::linuxtexts {

// The trash request succeeded without saying where the bundle went.
inline constexpr const char* kTrashMoveFailedNoLocation = "The system did not report a Trash location for Quillet+.";
// Followed by the underlying error's description.
inline constexpr const char* kTrashMoveFailedPrefix = "The system could not move Quillet+ to the Trash: ";
// Followed by the bundle's path and ".".
inline constexpr const char* kTrashMoveReportedNoResultPrefix =
    "The system finished the Trash request, but Quillet+ is still at ";

// The main window's tagline; the original ends "for macOS.".
inline constexpr const char* kMainWindowTagline = "The missing New File command for Linux.";

}  // namespace quillet::linuxtexts
