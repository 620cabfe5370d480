#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/posix/ModuleLoadingProcesses.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// A process folder as /proc has it: its mapped files and its program's name.
fs::path fakeProcess(const fs::path& root, const std::string& pid, const std::string& maps, const std::string& comm) {
    fs::create_directories(root / pid);
    writeFile(root / pid / "maps", maps);
    writeFile(root / pid / "comm", comm + "\n");
    return root / pid;
}

}  // namespace

TEST(ModuleLoadingProcesses, OnlyTheUsersProcessesWithOneOfOurModulesMappedAreListed) {
    test::TemporaryFolder proc;
    const std::string lib = "7f00-7f10 r-xp 00000000 08:01 42   ";
    fakeProcess(proc.path(), "4242", lib + "/usr/lib/x86_64-linux-gnu/libgtk-3.so.0\n" + lib +
                                         "/usr/lib/x86_64-linux-gnu/thunarx-3/quillet-thunar.so\n", "thunar");
    // A module replaced on disk by an upgrade is still loaded.
    fakeProcess(proc.path(), "77", lib + "/usr/lib/x86_64-linux-gnu/nemo/extensions-3.0/quillet-nemo.so (deleted)\n",
                "nemo");
    // Names that only look alike, and a process with no module at all.
    fakeProcess(proc.path(), "80", lib + "/home/me/quillet-caja.so.bak\n" + lib + "/x/my-quillet-caja.so\n", "caja");
    fakeProcess(proc.path(), "81", "", "bash");
    fakeProcess(proc.path(), "self", lib + "/x/quillet-caja.so\n", "caja");
    const fs::path other = fakeProcess(proc.path(), "90", lib + "/x/quillet-caja.so\n", "caja");
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(other.c_str(), 65534, 65534), 0);
    }

    const auto found = processesWithModuleLoaded(proc.path(), ::getuid());
    std::vector<RunningFileManager> expected{{77, "nemo"}, {4242, "thunar"}};
    // Without root the other user's process cannot be made here, so it is ours and counts.
    if (::getuid() != 0) expected.insert(expected.begin() + 1, RunningFileManager{90, "caja"});
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(processesWithModuleLoaded(proc.path() / "missing", ::getuid()).empty());
}

TEST(ModuleLoadingProcesses, ARunningProcessThatMapsAModuleIsFound) {
    test::TemporaryFolder folder;
    const fs::path module = folder.path() / "quillet-caja.so";
    writeFile(module, std::string(4096, 'x'));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(module.c_str(), O_RDONLY);
        void* mapped = fd >= 0 ? ::mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
        const char ok = mapped == MAP_FAILED ? 'n' : 'y';
        (void)!::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    const auto found = processesWithModuleLoaded("/proc", ::getuid());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(ok, 'y');
    const auto it = std::find_if(found.begin(), found.end(),
                                 [&](const RunningFileManager& f) { return f.processIdentifier == child; });
    ASSERT_NE(it, found.end());
    EXPECT_FALSE(it->program.empty());
}
