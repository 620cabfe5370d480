#pragma once

#include "platform/LongWork.h"

namespace quillet {

// Runs the work on a thread of its own while the calling thread's event loop goes on: the
// windows repaint, timers fire and requests are answered. What the loop does meanwhile may
// start other work (a second creation); each returns when its own is done.
class QtLongWork final : public LongWork {
public:
    void run(const std::function<void()>& work) override;
};

}  // namespace quillet
