#include <gtest/gtest.h>

#include <optional>

#include "app/observation/Published.h"

using namespace quillet;

TEST(Published, DeliversLaterChangesOnlyUntilTheSubscriptionIsDropped) {
    Published<int> field(1);
    std::vector<int> seen;
    {
        Subscription s = field.subscribe([&](const int& v) { seen.push_back(v); });
        EXPECT_TRUE(seen.empty());  // the current value is not delivered
        field.set(2);
        field.set(3);
    }
    field.set(4);
    EXPECT_EQ(seen, (std::vector<int>{2, 3}));
    EXPECT_EQ(field.get(), 4);
    EXPECT_EQ(field.subscriberCount(), 0u);
}

TEST(Published, ObserverMayCancelAnotherOrOutliveTheField) {
    auto field = std::make_unique<Published<int>>(0);
    std::optional<Subscription> second;
    int secondCalls = 0;
    Subscription first = field->subscribe([&](const int&) { second.reset(); });
    second = field->subscribe([&](const int&) { ++secondCalls; });
    field->set(1);
    EXPECT_EQ(secondCalls, 0);
    field.reset();
    first.cancel();  // the field is gone: cancelling is harmless
    EXPECT_FALSE(first.isActive());
}
