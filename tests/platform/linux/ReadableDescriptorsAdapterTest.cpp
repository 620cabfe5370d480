#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <unistd.h>

#include "platform/linux/QtReadableDescriptors.h"

using namespace quillet;

namespace {

// Runs the event loop until `done` holds or `milliseconds` pass.
template <typename Done>
void runEventsUntil(Done done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

TEST(QtReadableDescriptors, CallsBackOnTheEventLoopWhileTheWatchLives) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    int calls = 0;
    auto watch = QtReadableDescriptors().whenReadable(pipeEnds[0], [&] {
        char byte;
        if (::read(pipeEnds[0], &byte, 1) == 1) ++calls;
    });

    runEventsUntil([] { return false; }, 50);
    EXPECT_EQ(calls, 0);
    ASSERT_EQ(::write(pipeEnds[1], "x", 1), 1);
    runEventsUntil([&] { return calls == 1; }, 5000);
    EXPECT_EQ(calls, 1);

    // Dropped, it calls nothing more.
    watch.reset();
    ASSERT_EQ(::write(pipeEnds[1], "y", 1), 1);
    runEventsUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}
