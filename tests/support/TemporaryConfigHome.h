#pragma once

#include <filesystem>
#include <string>

#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// A fresh configuration home for one test, handed to what opens settings suites (and to the
// processes a test starts) in place of the user's, so no test touches the real configuration.
class TemporaryConfigHome {
public:
    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path suiteFolder(const std::string& name) const { return folder_.path() / name; }

private:
    TemporaryFolder folder_;
};

}  // namespace quillet::test
