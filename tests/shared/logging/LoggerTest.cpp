#include <gtest/gtest.h>

#include "shared/logging/Logger.h"

using namespace quillet;

TEST(Logger, FormatsUnifiedLogPlaceholders) {
    EXPECT_EQ(formatLogMessage("Created %{public}s (%d of %ld)", {"a b", 3, 40L}), "Created a b (3 of 40)");
    EXPECT_EQ(formatLogMessage("100%% %s", {"done"}), "100% done");
    EXPECT_EQ(formatLogMessage("missing %{public}s and %d", {"x"}), "missing x and ");
    EXPECT_EQ(formatLogMessage("trailing %", {}), "trailing %");
}

TEST(Logger, WritesCategoryLevelAndMessageToTheInstalledSink) {
    auto sink = std::make_shared<MemoryLogSink>();
    {
        ScopedLogSink scope(sink);
        Logger logger(kAppSubsystem, "DesktopCreation");
        logger.log("Created %{public}s", "/tmp/Untitled.txt");
        logger.error("Failed: %{public}s", "disk full");
    }
    auto records = sink->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].subsystem, "org.quillet.Quillet");
    EXPECT_EQ(sink->lines(), (std::vector<std::string>{
                                 "DesktopCreation default: Created /tmp/Untitled.txt",
                                 "DesktopCreation error: Failed: disk full"}));
}
