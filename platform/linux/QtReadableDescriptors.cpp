#include "platform/linux/QtReadableDescriptors.h"

#include <QSocketNotifier>

#include "platform/MainQueue.h"

namespace quillet {

namespace {

class NotifierWatch final : public ReadableDescriptors::Watch {
public:
    NotifierWatch(int fd, std::function<void()> onReadable) : notifier_(fd, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_,
                         [onReadable = std::move(onReadable)] { runQueuedWork(onReadable); });
    }

private:
    QSocketNotifier notifier_;
};

}  // namespace

std::unique_ptr<ReadableDescriptors::Watch> QtReadableDescriptors::whenReadable(int fd, std::function<void()> onReadable) {
    return std::make_unique<NotifierWatch>(fd, std::move(onReadable));
}

}  // namespace quillet
