#include "platform/linux/QtMainQueueTimer.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/MainQueue.h"

namespace quillet {

void QtMainQueueTimer::asyncAfter(std::chrono::nanoseconds delay, std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return;  // no event loop: nothing would ever run it
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(delay);
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, app, [work = std::move(work)] { runQueuedWork(work); });
}

}  // namespace quillet
