#pragma once

#include "platform/ReadableDescriptors.h"

namespace quillet {

// A QSocketNotifier on the main thread's event loop for each watched descriptor.
class QtReadableDescriptors final : public ReadableDescriptors {
public:
    std::unique_ptr<Watch> whenReadable(int fd, std::function<void()> onReadable) override;
};

}  // namespace quillet
