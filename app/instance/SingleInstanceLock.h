#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "shared/paths/UserEnvironment.h"

namespace quillet {

// Keeps a second Quillet+ from starting while one runs: the running instance holds an exclusive
// flock on a file in the user's runtime folder. The kernel drops the lock when the process ends,
// however it ends, so a crashed run never blocks the next launch.
class SingleInstanceLock {
public:
    enum class Outcome { acquired, heldElsewhere, failed };

    // org.quillet.Quillet.lock in the user's runtime folder when there is one, else a file of
    // this user's in the temporary folder.
    static std::filesystem::path pathFor(const UserEnvironment& environment);

    explicit SingleInstanceLock(std::filesystem::path path);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock without waiting. `failed` also describes why in error().
    Outcome acquire();
    bool isHeld() const { return fd_ >= 0; }
    // Whether the path still names the file this lock holds (a runtime folder emptied under the
    // running instance takes it away, and a second instance could then start).
    bool isInPlace() const;
    // Takes the lock again on a new file at the path; the old one is let go only once it is.
    Outcome acquireAgain();
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    std::string error_;
};

}  // namespace quillet
