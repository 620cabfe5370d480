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

#include <QCoreApplication>

#include <stdexcept>

#include "platform/linux/QtMainQueue.h"
#include "shared/logging/Logger.h"

// Queued work runs after the current call returns, on the next turn of the event loop.
TEST(QtMainQueue, RunsWorkLaterOnTheEventLoop) {
    quillet::QtMainQueue queue;
    int ran = 0;
    queue.async([&] { ++ran; });
    EXPECT_EQ(ran, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
}

// Work that throws is logged and stops there: the event loop and the work after it go on.
TEST(QtMainQueue, WorkThatThrowsIsLoggedAndTheLoopGoesOn) {
    auto sink = std::make_shared<quillet::MemoryLogSink>();
    quillet::ScopedLogSink scoped(sink);
    quillet::QtMainQueue queue;
    int ran = 0;
    queue.async([] { throw std::runtime_error("disk on fire"); });
    queue.async([&] { ++ran; });
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(sink->contains("Queued work failed: disk on fire")) << ::testing::PrintToString(sink->lines());
}
