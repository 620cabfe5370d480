#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// Points XDG_CONFIG_HOME at a fresh temporary folder for the object's lifetime, so settings
// suites opened by a test (and by the processes it starts) never touch the real configuration.
class ScopedConfigHome {
public:
    ScopedConfigHome() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
        ::setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
    }
    ~ScopedConfigHome() {
        if (previous_)
            ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path suiteFolder(const std::string& name) const { return folder_.path() / name; }

private:
    TemporaryFolder folder_;
    std::optional<std::string> previous_;
};

}  // namespace quillet::test
