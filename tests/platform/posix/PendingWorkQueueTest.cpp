#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/posix/PendingWorkQueue.h"
#include "shared/errors/PlatformError.h"
#include "shared/logging/Logger.h"

using namespace quillet;

// Work waits for runPending, runs in order, and work queued while it runs comes after it.
TEST(PendingWorkQueue, RunsQueuedWorkInOrderIncludingWorkQueuedMeanwhile) {
    PendingWorkQueue queue;
    std::vector<int> order;
    queue.async([&] {
        order.push_back(1);
        queue.async([&] { order.push_back(3); });
    });
    queue.async([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());
    queue.runPending();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(queue.isEmpty());
}

// A failing piece of work is logged with the user-facing text and the rest still runs.
TEST(PendingWorkQueue, WorkThatThrowsIsLoggedAndTheRestRuns) {
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    PendingWorkQueue queue;
    int ran = 0;
    queue.async([] { throw PlatformError::posix(EACCES, "Could not open the folder"); });
    queue.async([] { throw 42; });
    queue.async([&] { ++ran; });
    queue.runPending();
    EXPECT_EQ(ran, 1);
    const auto lines = sink->lines();
    ASSERT_EQ(lines.size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0].rfind("MainQueue error: Queued work failed: Could not open the folder", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "MainQueue error: Queued work failed with an exception of unknown type");
}
