#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/instance/SingleInstanceLock.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;

TEST(SingleInstanceLock, OnlyOneHolderAtATimeAndReleasedWithTheHolder) {
    test::TemporaryFolder folder;
    const auto path = folder / "app.lock";
    {
        SingleInstanceLock first(path);
        ASSERT_EQ(first.acquire(), SingleInstanceLock::Outcome::acquired);
        SingleInstanceLock second(path);
        EXPECT_EQ(second.acquire(), SingleInstanceLock::Outcome::heldElsewhere);
        EXPECT_FALSE(second.isHeld());
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    // The file a crashed or finished run leaves behind does not block the next one.
    ASSERT_TRUE(std::filesystem::exists(path));
    SingleInstanceLock next(path);
    EXPECT_EQ(next.acquire(), SingleInstanceLock::Outcome::acquired);
}

TEST(SingleInstanceLock, RefusesALinkInsteadOfALockFile) {
    test::TemporaryFolder folder;
    const auto target = folder / "elsewhere";
    test::writeFile(target, "keep");
    std::filesystem::create_symlink(target, folder / "app.lock");
    SingleInstanceLock lock(folder / "app.lock");
    EXPECT_EQ(lock.acquire(), SingleInstanceLock::Outcome::failed);
    EXPECT_FALSE(lock.error().empty());
    EXPECT_EQ(test::readFile(target), "keep");
}

TEST(SingleInstanceLock, LivesInTheRuntimeFolderWhenThereIsOne) {
    const std::filesystem::path temporary = "/var/tmp/quillet-test";
    EXPECT_EQ(SingleInstanceLock::pathFor(
                  UserEnvironment{.runtimeDirectory = "/run/user/4242", .temporaryDirectory = temporary}),
              "/run/user/4242/org.quillet.Quillet.lock");
    for (const std::optional<std::filesystem::path>& runtime :
         {std::optional<std::filesystem::path>(), std::optional<std::filesystem::path>("relative")}) {
        const auto path =
            SingleInstanceLock::pathFor(UserEnvironment{.runtimeDirectory = runtime, .temporaryDirectory = temporary});
        EXPECT_EQ(path.parent_path(), temporary);
        EXPECT_EQ(path.filename(), "org.quillet.Quillet-" + std::to_string(::getuid()) + ".lock");
    }
}
