#include <gtest/gtest.h>

#include "app/update/VersionComparison.h"

using namespace quillet;

namespace {

void expectOlder(const char* older, const char* newer) {
    EXPECT_LT(compareVersions(older, newer), 0) << older << " < " << newer;
    EXPECT_GT(compareVersions(newer, older), 0) << newer << " > " << older;
}

void expectSame(const char* a, const char* b) {
    EXPECT_EQ(compareVersions(a, b), 0) << a << " == " << b;
    EXPECT_EQ(compareVersions(b, a), 0) << b << " == " << a;
}

}  // namespace

TEST(VersionComparison, ComparesNumbersByValueNotAsText) {
    expectOlder("1.9", "1.10");
    expectOlder("1.2.9", "1.2.10");
    expectOlder("1.99", "2");
    expectOlder("0.9.9", "1.0");
    expectOlder("9", "10");
    // Longer than any machine integer, still by value.
    expectOlder("1.99999999999999999999999", "1.100000000000000000000000");
    expectSame("1.01", "1.1");
    expectSame("2.0", "2.0");
}

TEST(VersionComparison, AMissingPartCountsAsZeroAgainstNumbers) {
    expectOlder("1.0", "1.0.1");
    expectOlder("1", "1.0.0.1");
    expectSame("1.0", "1.0.0");
    expectSame("1", "1.0.0");
    expectSame("", "0");
}

TEST(VersionComparison, APreReleaseIsOlderThanItsRelease) {
    expectOlder("1.0b1", "1.0");
    expectOlder("1.0.0b1", "1.0");
    expectOlder("1.0a", "1.0b");
    expectOlder("1.0b1", "1.0b2");
    expectOlder("1.0b2", "1.0.1");
    expectOlder("2.0-beta", "2.0");
}

TEST(VersionComparison, SeparatorsOnlySeparate) {
    expectSame("1.2.3", "1-2-3");
    expectSame("1.2", "1..2");
    expectSame(" 1.2 ", "1.2");
}
