#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/URLOpener.h"

namespace quillet::test {

// Records every URL it is asked to open; opens (reports success for) only those it was told to.
class RecordingURLOpener : public URLOpener {
public:
    std::set<std::string> openable;
    std::vector<std::string> opened;

    bool openWithoutActivating(const std::string& url) override {
        opened.push_back(url);
        return openable.count(url) > 0;
    }
};

}  // namespace quillet::test
