#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/shell/SingleInstanceLock.h"
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
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string previous = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(SingleInstanceLock::defaultPath(), "/run/user/4242/org.quillet.Quillet.lock");
    ::setenv("XDG_RUNTIME_DIR", "relative", 1);
    EXPECT_EQ(SingleInstanceLock::defaultPath().parent_path(), std::filesystem::temp_directory_path());
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}
