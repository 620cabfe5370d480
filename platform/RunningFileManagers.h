#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

// One running instance of a file manager, a process that loads the file-manager extension
// installed with Quillet+.
struct RunningFileManager {
    std::int64_t processIdentifier = 0;
    // Its program's name as the system lists it ("nautilus", "thunar"); empty when unknown.
    std::string program{};

    bool operator==(const RunningFileManager&) const = default;
};

// The file managers as a set of running processes: listed, asked to quit or made to, and those
// that were stopped started again without opening a window.
class RunningFileManagers {
public:
    virtual ~RunningFileManagers() = default;
    // The instances running now; empty when none runs.
    virtual std::vector<RunningFileManager> running() = 0;
    // Asks the instance to quit as if its user had; false when it refused or could not be asked.
    virtual bool terminate(const RunningFileManager& instance) = 0;
    // Ends the instance without asking.
    virtual void forceTerminate(const RunningFileManager& instance) = 0;
    // Whether the instance has ended.
    virtual bool isTerminated(const RunningFileManager& instance) = 0;
    // Starts the file manager again in the background, as the desktop starts it at login.
    virtual void relaunch() = 0;
};

}  // namespace quillet
