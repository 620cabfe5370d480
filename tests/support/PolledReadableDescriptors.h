#pragma once

#include <poll.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/ReadableDescriptors.h"

namespace quillet::test {

// Watches descriptors for real, turned by hand: dispatch() runs the callback of each watched
// descriptor that is readable now, as one turn of an event loop would.
class PolledReadableDescriptors final : public ReadableDescriptors {
public:
    std::unique_ptr<Watch> whenReadable(int fd, std::function<void()> onReadable) override {
        const int id = next_++;
        watches_[id] = {fd, std::move(onReadable)};
        return std::make_unique<Entry>(watches_, id);
    }

    // Returns how many callbacks ran.
    int dispatch() {
        int ran = 0;
        const auto watches = watches_;
        for (const auto& [id, watch] : watches) {
            pollfd descriptor{watch.first, POLLIN, 0};
            if (::poll(&descriptor, 1, 0) == 1 && (descriptor.revents & POLLIN) && watches_.count(id)) {
                watch.second();
                ++ran;
            }
        }
        return ran;
    }
    std::size_t watched() const { return watches_.size(); }

private:
    using Watches = std::map<int, std::pair<int, std::function<void()>>>;
    class Entry final : public Watch {
    public:
        Entry(Watches& watches, int id) : watches_(watches), id_(id) {}
        ~Entry() override { watches_.erase(id_); }

    private:
        Watches& watches_;
        int id_;
    };

    Watches watches_;
    int next_ = 0;
};

}  // namespace quillet::test
