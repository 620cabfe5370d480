#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Widget tests share one QApplication; QT_QPA_PLATFORM=offscreen unless a test run sets a display.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings, and what Qt's own dialogs remember, stay out of the user's configuration.
    QTemporaryDir config;
    if (config.isValid()) qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
