#include <gtest/gtest.h>

#include <algorithm>

#include "shared/text/LocalizedStandardCompare.h"

using namespace quillet;

TEST(LocalizedStandardCompare, DigitRunsCompareByValueAndLettersIgnoreCase) {
    std::vector<std::string> names{"Folder 10", "folder 2", "Folder 1", "apple", "Banana", "file010", "file9",
                                   "/Users/me/Dropbox", "/Users/me", "/Users/me/dropbox2"};
    std::sort(names.begin(), names.end(), localizedStandardLess);
    EXPECT_EQ(names, (std::vector<std::string>{"/Users/me", "/Users/me/Dropbox", "/Users/me/dropbox2", "apple",
                                                "Banana", "file9", "file010", "Folder 1", "folder 2", "Folder 10"}));
}

TEST(LocalizedStandardCompare, TheOrderIsTotal) {
    // Equal but for case or leading zeros: still ordered, consistently both ways.
    EXPECT_NE(localizedStandardCompare("a", "A"), 0);
    EXPECT_EQ(localizedStandardCompare("a", "A"), -localizedStandardCompare("A", "a"));
    EXPECT_NE(localizedStandardCompare("x01", "x1"), 0);
    EXPECT_EQ(localizedStandardCompare("x01", "x1"), -localizedStandardCompare("x1", "x01"));
    EXPECT_EQ(localizedStandardCompare("same", "same"), 0);
    // Numbers longer than any integer type still compare by value.
    EXPECT_LT(localizedStandardCompare("n99999999999999999999999", "n100000000000000000000000"), 0);
}
