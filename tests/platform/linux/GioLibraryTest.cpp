#include <gtest/gtest.h>

#include "platform/linux/GioLibrary.h"

using namespace quillet;

TEST(GioLibrary, IsFoundOnceWithEveryCallAndWorks) {
    const GioLibrary* gio = gioLibrary();
    ASSERT_NE(gio, nullptr);
    EXPECT_EQ(gioLibrary(), gio);
    EXPECT_NE(gio->settings_schema_source_get_default, nullptr);
    EXPECT_NE(gio->settings_sync, nullptr);
    // A call through it: a file object made and released.
    GFile* file = gio->file_new_for_path("/");
    ASSERT_NE(file, nullptr);
    gio->object_unref(file);
}
