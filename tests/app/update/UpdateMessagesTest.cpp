#include <gtest/gtest.h>

#include "app/update/UpdateMessages.h"

using namespace quillet;

// Reasons come from the adapters with or without a full stop of their own; the sentence they
// complete ends in exactly one either way, also before the sentence an install failure adds.
TEST(UpdateMessages, AReasonEndsItsSentenceInOneFullStop) {
    EXPECT_EQ(UpdateMessages::transferFailed("update", "Connection closed"),
              "The update could not be downloaded: Connection closed.");
    EXPECT_EQ(UpdateMessages::transferFailed("update", "The download is larger than the 9 bytes expected."),
              "The update could not be downloaded: The download is larger than the 9 bytes expected.");
    EXPECT_EQ(UpdateMessages::unpackFailed("Cannot allocate memory"),
              "The update archive could not be unpacked: Cannot allocate memory.");
    EXPECT_EQ(UpdateMessages::stagingFailed("Permission denied"),
              "No folder for the update could be made beside the installed application: Permission denied.");
    EXPECT_EQ(UpdateMessages::installFailed(UpdateMessages::transferFailed("update", "Connection closed")).informativeText,
              "The update could not be downloaded: Connection closed. The installed Quillet+ was not changed.");
}
