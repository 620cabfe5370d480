#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

// The offscreen platform is up: a widget can be shown and reports a size.
TEST(Toolkit, OffscreenWidgetsShow) {
    QWidget w;
    w.resize(200, 100);
    w.show();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.width(), 200);
}
