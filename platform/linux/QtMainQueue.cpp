#include "platform/linux/QtMainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quillet {

void QtMainQueue::async(std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return;  // no event loop: nothing would ever run it
    QMetaObject::invokeMethod(app, [work = std::move(work)] { runQueuedWork(work); }, Qt::QueuedConnection);
}

}  // namespace quillet
