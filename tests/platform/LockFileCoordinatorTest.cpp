#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/posix/LockFileCoordinator.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Holds the item's lock from another thread until released.
class Holder {
public:
    Holder(LockFileCoordinator& coordinator, const fs::path& item) {
        thread_ = std::thread([&coordinator, item, this] {
            coordinator.coordinateWriting(item, [this](const fs::path&) {
                holding_.set_value();
                release_.get_future().wait();
            });
        });
        holding_.get_future().wait();
    }
    void release() {
        release_.set_value();
        thread_.join();
    }

private:
    std::promise<void> holding_, release_;
    std::thread thread_;
};

}  // namespace

TEST(LockFileCoordinator, WritersOfOneItemTakeTurnsAndOtherItemsGoAhead) {
    TemporaryFolder locks, items;
    LockFileCoordinator coordinator(locks / "locks");
    Holder holder(coordinator, items / "Untitled.txt");

    // An item with a lock file of its own (items may share one).
    fs::path other = items / "Untitled 2.txt";
    for (int n = 3; coordinator.lockFile(other) == coordinator.lockFile(items / "Untitled.txt"); ++n)
        other = items / ("Untitled " + std::to_string(n) + ".txt");
    std::atomic<bool> otherItemWritten = false;
    coordinator.coordinateWriting(other, [&](const fs::path&) { otherItemWritten = true; });
    EXPECT_TRUE(otherItemWritten);

    std::atomic<bool> sameItemWritten = false;
    fs::path handedOver;
    std::thread waiter([&] {
        // The same item, reached through a path that is spelt differently.
        LockFileCoordinator second(locks / "locks");
        second.coordinateWriting(items.path() / "." / "Untitled.txt", [&](const fs::path& url) {
            handedOver = url;
            sameItemWritten = true;
        });
    });
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(sameItemWritten) << "a second writer ran while the first held the item";
    holder.release();
    waiter.join();
    EXPECT_TRUE(sameItemWritten);
    EXPECT_EQ(handedOver, items.path() / "." / "Untitled.txt");
}

TEST(LockFileCoordinator, LockFilesStayOutOfTheUsersFolder) {
    TemporaryFolder locks, items;
    LockFileCoordinator coordinator(locks / "locks");
    fs::path lock = coordinator.lockFile(items / "Untitled.txt");
    EXPECT_EQ(lock.parent_path(), locks / "locks");
    EXPECT_EQ(lock, coordinator.lockFile(items.path() / "sub" / ".." / "Untitled.txt"));

    // However many items are written, the lock folder holds a bounded set of files.
    for (int n = 0; n < 300; ++n)
        coordinator.coordinateWriting(items / ("Untitled " + std::to_string(n) + ".txt"),
                                      [](const fs::path&) {});
    EXPECT_TRUE(fs::is_empty(items.path()));
    size_t lockFiles = 0;
    for (const auto& entry : fs::directory_iterator(locks / "locks")) {
        EXPECT_EQ(entry.path().parent_path(), locks / "locks");
        ++lockFiles;
    }
    EXPECT_GT(lockFiles, 1u);
    EXPECT_LE(lockFiles, LockFileCoordinator::kLockFileCount);
    struct stat st {};
    ASSERT_EQ(::stat((locks / "locks").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(LockFileCoordinator, AnUnusableLockFolderIsReportedAndNothingRuns) {
    TemporaryFolder locks, items;
    writeFile(locks / "not-a-folder", "");
    fs::create_directory(locks / "shared");
    fs::permissions(locks / "shared", fs::perms::all);
    for (const char* name : {"not-a-folder", "shared"}) {
        SCOPED_TRACE(name);
        LockFileCoordinator coordinator(locks / name);
        bool ran = false;
        auto error = coordinator.coordinateWriting(items / "Untitled.txt",
                                                   [&](const fs::path&) { ran = true; });
        ASSERT_TRUE(error.has_value());
        EXPECT_FALSE(ran);
        EXPECT_NE(error->description().find((locks / name).string()), std::string::npos)
            << error->description();
    }
}

TEST(LockFileCoordinator, LivesInTheRuntimeFolderElseInTheTemporaryFolder) {
    EXPECT_EQ(LockFileCoordinator::lockDirectoryFor(UserEnvironment{.runtimeDirectory = "/run/user/4242/"}),
              "/run/user/4242/quillet-locks");
    const auto fallback = LockFileCoordinator::lockDirectoryFor(
        UserEnvironment{.runtimeDirectory = "relative", .temporaryDirectory = "/var/tmp/"});
    EXPECT_EQ(fallback.filename(), "quillet-locks-" + std::to_string(::geteuid()));
    EXPECT_EQ(fallback.parent_path(), "/var/tmp");
    EXPECT_EQ(LockFileCoordinator::lockDirectoryFor(UserEnvironment{}).parent_path(), "/tmp");
}
