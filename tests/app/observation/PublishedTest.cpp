#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

TEST(Published, SubscribingToAnyOfSeveralFieldsCallsOnceForEachChangeUntilDropped) {
    Published<int> count(0);
    Published<std::string> name("a");
    int calls = 0;
    {
        Subscription any = subscribeToAny([&] { ++calls; }, count, name);
        EXPECT_EQ(calls, 0);  // nothing for the values current when subscribing
        count.set(1);
        name.set("b");
        name.set("c");
        EXPECT_EQ(calls, 3);
        EXPECT_EQ(count.subscriberCount(), 1u);
    }
    count.set(2);
    name.set("d");
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(count.subscriberCount(), 0u);
    EXPECT_EQ(name.subscriberCount(), 0u);

    // Without a callback there is nothing to subscribe.
    Subscription none = subscribeToAny({}, count);
    EXPECT_FALSE(none.isActive());
    EXPECT_EQ(count.subscriberCount(), 0u);
}
