#pragma once

#include <sys/types.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/RunningFileManagers.h"
#include "platform/linux/NautilusFileManagers.h"

namespace quillet {

// Every file manager that must let go of our module: Nautilus whenever it runs (as before, through
// its bus name), and each Nemo, Caja or Thunar process of this user that has our module loaded.
// Those quit through their own "--quit", are forced with SIGKILL, and are started again in the
// background ("--no-default-window", "--daemon") once each, only when one of them was stopped.
class ModuleFileManagers final : public RunningFileManagers {
public:
    static constexpr const char* kNautilusProgram = "nautilus";
    // How long a "--quit" command may take before it is given up on.
    static constexpr int kQuitCommandMilliseconds = 2000;

    ModuleFileManagers(QDBusConnection bus, std::filesystem::path procRoot = "/proc");

    std::vector<RunningFileManager> running() override;
    bool terminate(const RunningFileManager& instance) override;
    void forceTerminate(const RunningFileManager& instance) override;
    bool isTerminated(const RunningFileManager& instance) override;
    void relaunch() override;

private:
    NautilusFileManagers nautilus_;
    std::filesystem::path procRoot_;
    // The programs stopped since the last relaunch, other than Nautilus.
    std::set<std::string> stopped_;
};

}  // namespace quillet
