#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/linux/QtLongWork.h"

using namespace quillet;

// The work waits for the event loop of the thread that runs it: were the loop frozen meanwhile,
// the wait would run out.
TEST(QtLongWorkTest, TheEventLoopGoesOnWhileTheWorkRunsAndItsErrorComesBack) {
    QtLongWork longWork;
    std::atomic<bool> loopRan{false};
    bool sawLoop = false;
    std::thread::id workThread;
    QTimer::singleShot(0, QCoreApplication::instance(), [&] { loopRan = true; });
    longWork.run([&] {
        workThread = std::this_thread::get_id();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!loopRan && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sawLoop = loopRan;
    });
    EXPECT_TRUE(sawLoop);
    EXPECT_NE(workThread, std::this_thread::get_id());

    // Work that ends before the loop starts ends the run too, and what it threw is thrown here.
    EXPECT_THROW(longWork.run([] { throw std::runtime_error("disk full"); }), std::runtime_error);
    int runs = 0;
    longWork.run([&] { ++runs; });
    EXPECT_EQ(runs, 1);
}
