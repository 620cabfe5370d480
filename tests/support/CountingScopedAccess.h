#pragma once

#include <filesystem>
#include <vector>

#include "platform/SecurityScopedAccess.h"

namespace quillet::test {

// Records every start and stop; starts succeed unless told otherwise.
class CountingScopedAccess final : public SecurityScopedAccess {
public:
    explicit CountingScopedAccess(bool grants = true) : grants_(grants) {}

    bool startAccessing(const std::filesystem::path& url) override {
        started.push_back(url);
        return grants_;
    }
    void stopAccessing(const std::filesystem::path& url) override { stopped.push_back(url); }

    // Starts that returned true and have not been stopped.
    long open() const {
        return (grants_ ? static_cast<long>(started.size()) : 0) - static_cast<long>(stopped.size());
    }

    std::vector<std::filesystem::path> started;
    std::vector<std::filesystem::path> stopped;

private:
    bool grants_;
};

}  // namespace quillet::test
