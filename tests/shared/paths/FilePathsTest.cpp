#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include "shared/paths/FilePaths.h"

using namespace quillet;

TEST(FilePaths, StandardizingRemovesDotSegmentsAndTrailingSeparators) {
    EXPECT_EQ(standardizedPath("/a/./b/../c/"), "/a/c");
    EXPECT_EQ(standardizedPath("/a//b///"), "/a/b");
    EXPECT_EQ(standardizedPath("/../.."), "/");
    EXPECT_EQ(standardizedPath("/"), "/");
    EXPECT_EQ(lastPathComponent("/Users/me/Reports/"), "Reports");
    EXPECT_EQ(lastPathComponent("/"), "/");
}

TEST(FilePaths, HomeComesFromTheAccountDatabaseNotTheEnvironment) {
    const struct passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    auto home = accountHomeFolder();
    EXPECT_FALSE(home.empty());
    EXPECT_EQ(home, standardizedPath(entry->pw_dir));
    EXPECT_EQ(accountUserName(), entry->pw_name);
}
