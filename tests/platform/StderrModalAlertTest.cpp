#include <gtest/gtest.h>

#include <sstream>

#include "platform/posix/StderrModalAlert.h"

using namespace quillet;

TEST(StderrModalAlert, PrintsTheMessageThenTheInformativeText) {
    std::ostringstream out;
    StderrModalAlert alert(out);
    alert.runModal({"Could not create file", "Quillet+ does not know how to create this file type.",
                    AlertStyle::warning});
    alert.runModal({"Could not uninstall Quillet+", "", AlertStyle::critical});
    EXPECT_EQ(out.str(),
              "Could not create file\n"
              "Quillet+ does not know how to create this file type.\n"
              "Could not uninstall Quillet+\n");
    EXPECT_EQ(alertStyleFromRawValue("critical"), AlertStyle::critical);
    EXPECT_EQ(alertStyleFromRawValue("Warning"), std::nullopt);
}
