#pragma once

#include <functional>

namespace quillet {

// Runs work that may take a while (the copy of a large template) and returns once it is done,
// rethrowing whatever it threw. The application's runs it on another thread and keeps its
// windows painting and answering meanwhile, so a 100 MB copy to a slow disk freezes nothing.
// The work must touch nothing the main thread changes while it runs.
class LongWork {
public:
    virtual ~LongWork() = default;
    virtual void run(const std::function<void()>& work) = 0;
};

}  // namespace quillet
