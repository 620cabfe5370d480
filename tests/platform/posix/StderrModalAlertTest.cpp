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

TEST(StderrModalAlert, AQuestionReadsAButtonTitleAndEndOfInputIsTheLastButton) {
    const Alert question{"Uninstall Quillet+?", "Files stay.", AlertStyle::critical};
    const std::vector<std::string> buttons{"Uninstall", "Cancel"};
    struct Case {
        const char* input;
        std::size_t chosen;
    } cases[] = {
        {"cancel\n", 1},
        {"\n", 0},             // Return: the default button
        {"maybe\nUNINSTALL\n", 0},  // asked again until a title matches
        {"", 1},               // nobody to answer: nothing happens
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        std::istringstream in(c.input);
        StderrModalAlert alert(out, in);
        EXPECT_EQ(alert.runModal(question, buttons), c.chosen) << c.input;
        EXPECT_TRUE(out.str().starts_with("Uninstall Quillet+?\nFiles stay.\nUninstall / Cancel [Uninstall]: "))
            << out.str();
    }
}

TEST(StderrModalAlert, ADestructiveQuestionTakesAnEmptyAnswerAsCancel) {
    Alert question{"Uninstall Quillet+?", "Files stay.", AlertStyle::critical};
    question.cancelIsDefault = true;
    std::ostringstream out;
    std::istringstream in("\nuninstall\n");
    StderrModalAlert alert(out, in);
    EXPECT_EQ(alert.runModal(question, {"Uninstall", "Cancel"}), 1u);
    EXPECT_TRUE(out.str().ends_with("Uninstall / Cancel [Cancel]: ")) << out.str();
    EXPECT_EQ(alert.runModal(question, {"Uninstall", "Cancel"}), 0u) << "typed out, it still uninstalls";
}
