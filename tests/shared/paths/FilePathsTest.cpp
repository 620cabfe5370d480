#include <gtest/gtest.h>

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
    const char* saved = getenv("HOME");
    std::string old = saved ? saved : "";
    setenv("HOME", "/nonexistent/container", 1);
    auto home = accountHomeFolder();
    if (saved) setenv("HOME", old.c_str(), 1);
    EXPECT_FALSE(home.empty());
    EXPECT_NE(home, "/nonexistent/container");
}
