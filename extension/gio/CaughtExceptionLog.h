#pragma once

namespace quillet {

// Logs the exception being handled, as "<what was being done> failed: <its message>", in the
// extension's log category. Called from the catch-all blocks at the points where the file
// manager's C code calls into the module, where no exception may pass; it never throws itself.
void logCaughtException(const char* whatWasBeingDone) noexcept;

}  // namespace quillet
