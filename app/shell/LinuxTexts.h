#pragma once

// The texts of the application shell whose original wording names the operating system as the
// one doing the work. On Linux that would tell the user something false, so these are their
// Linux-true counterparts: the same sentences with "The system" as the subject. Every such
// replacement lives here, so a reader finds all of them in one place.

namespace quillet::linuxtexts {

// The trash request succeeded without saying where the bundle went.
inline constexpr const char* kTrashMoveFailedNoLocation = "The system did not report a Trash location for Quillet+.";
// Followed by the underlying error's description.
inline constexpr const char* kTrashMoveFailedPrefix = "The system could not move Quillet+ to the Trash: ";
// Followed by the bundle's path and ".".
inline constexpr const char* kTrashMoveReportedNoResultPrefix =
    "The system finished the Trash request, but Quillet+ is still at ";

}  // namespace quillet::linuxtexts
