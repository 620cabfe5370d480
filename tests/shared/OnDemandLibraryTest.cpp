#include <gtest/gtest.h>

#include <unistd.h>

#include "shared/OnDemandLibrary.h"

using namespace quillet;

namespace {

TEST(OnDemandLibrary, ResolvesTheLibrarysFunctionsAndNothingElse) {
    const OnDemandLibrary libc("libc.so.6");
    ASSERT_TRUE(libc.loaded());
    auto* processID = libc.function<decltype(::getpid)>("getpid");
    ASSERT_NE(processID, nullptr);
    EXPECT_EQ(processID(), ::getpid());
    EXPECT_EQ(libc.function<decltype(::getpid)>("quillet_no_such_function"), nullptr);

    // A library that is not installed is told, and asking it for a function is harmless.
    const OnDemandLibrary missing("libquillet-no-such-library.so.0");
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(missing.function<decltype(::getpid)>("getpid"), nullptr);
}

}  // namespace
