#pragma once

#include <functional>
#include <memory>

namespace quillet {

// Wakes the main thread when a file descriptor has something to read, so a watcher of kernel
// notifications (inotify) sleeps until something happens instead of looking several times a
// second.
class ReadableDescriptors {
public:
    // While it lives, onReadable runs on the main thread each time the descriptor is readable;
    // the callback is expected to read what is there.
    class Watch {
    public:
        virtual ~Watch() = default;
    };

    virtual ~ReadableDescriptors() = default;
    virtual std::unique_ptr<Watch> whenReadable(int fd, std::function<void()> onReadable) = 0;
};

}  // namespace quillet
