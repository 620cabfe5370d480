#include <gtest/gtest.h>

#include "shared/text/CaseFolding.h"

using namespace quillet;

TEST(CaseFolding, LowerCasesLatinGreekAndCyrillicCapitals) {
    EXPECT_EQ(caseFoldedForSearch("JavaScript"), "javascript");
    EXPECT_EQ(caseFoldedForSearch("ÉTÉ ÀÖØÞ"), "été àöøþ");
    EXPECT_EQ(caseFoldedForSearch("×"), "×");  // not a letter
    EXPECT_EQ(caseFoldedForSearch("ŁÓDŹ ŽĽ"), "łódź žľ");
    EXPECT_EQ(caseFoldedForSearch("ΑΒΓ"), "αβγ");
    EXPECT_EQ(caseFoldedForSearch("ПРИВЕТ ЁЖ"), "привет ёж");
    EXPECT_EQ(caseFoldedForSearch("İ"), "i");
}

TEST(CaseFolding, MalformedBytesPassThroughUnchanged) {
    const std::string bad = "A\xC3" "B\xFF\xE2\x82";
    EXPECT_EQ(caseFoldedForSearch(bad), "a\xC3" "b\xFF\xE2\x82");
    EXPECT_EQ(caseFoldedForSearch("\xC0\x81"), "\xC0\x81");  // overlong, not an "A"
}

TEST(CaseFolding, ContainmentIgnoresCase) {
    EXPECT_TRUE(containsIgnoringCase("Shell Script", "SCRIPT"));
    EXPECT_TRUE(containsIgnoringCase("Élan", "éla"));
    EXPECT_TRUE(containsIgnoringCase("anything", ""));
    EXPECT_FALSE(containsIgnoringCase("Text", "txt"));
}

TEST(CaseFolding, TrimsWhitespaceAndLineBreaksAtBothEndsOnly) {
    EXPECT_EQ(trimmedWhitespaceAndNewlines("  js \n\t"), "js");
    EXPECT_EQ(trimmedWhitespaceAndNewlines("\xC2\xA0shell script\xE3\x80\x80"), "shell script");
    EXPECT_EQ(trimmedWhitespaceAndNewlines(" \r\n "), "");
    EXPECT_EQ(trimmedWhitespaceAndNewlines("é "), "é");
    EXPECT_EQ(trimmedWhitespaceAndNewlines(" \xFF "), "\xFF");
}
