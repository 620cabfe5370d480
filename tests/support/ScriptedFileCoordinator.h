#pragma once

#include <filesystem>
#include <optional>

#include "platform/FileCoordinator.h"

namespace quillet::test {

// A coordinator that does what the test says: fails, skips the writer, or hands the writer a
// location of its choosing.
class ScriptedFileCoordinator final : public FileCoordinator {
public:
    std::optional<PlatformError> error;          // reported after the writer (if it runs)
    bool runsWriter = true;
    std::optional<std::filesystem::path> handOver;  // else the item itself
    int calls = 0;

    std::optional<PlatformError> coordinateWriting(const std::filesystem::path& item,
                                                   const Writer& writer) override {
        ++calls;
        if (runsWriter) writer(handOver ? *handOver : item);
        return error;
    }
};

}  // namespace quillet::test
