#pragma once

namespace quillet {

// Ends this application the ordinary way: its event loop returns and it exits.
class ApplicationTermination {
public:
    virtual ~ApplicationTermination() = default;
    virtual void terminate() = 0;
};

}  // namespace quillet
