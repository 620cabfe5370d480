#pragma once

#include <string>

namespace quillet {

// Hands a URL to the application the desktop registered for its scheme, leaving this
// application where it is (not brought to the front).
class URLOpener {
public:
    virtual ~URLOpener() = default;
    // False when the URL is malformed or no application would take it.
    virtual bool openWithoutActivating(const std::string& url) = 0;
};

}  // namespace quillet
