#include <gtest/gtest.h>

#include <QApplication>

// Widget tests share one QApplication; QT_QPA_PLATFORM=offscreen unless a test run sets a display.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
