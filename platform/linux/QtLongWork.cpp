#include "platform/linux/QtLongWork.h"

#include <QEventLoop>
#include <QMetaObject>
#include <exception>
#include <thread>

namespace quillet {

void QtLongWork::run(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it quits the loop even when the work ends before the loop has started.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the application quits; the work is still waited for, so what it
    // writes is whole.
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace quillet
