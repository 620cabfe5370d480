#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ApplicationLifecycle.h"

namespace quillet::test {

// Counts the ends asked for, and notes each in a journal when given one; keeps the executables
// a relaunch asked to start.
class RecordingApplicationLifecycle final : public ApplicationLifecycle {
public:
    RecordingApplicationLifecycle() = default;
    explicit RecordingApplicationLifecycle(std::vector<std::string>& journal) : journal_(&journal) {}

    void terminate() override {
        ++terminations;
        if (journal_) journal_->push_back("terminate application");
    }
    void relaunch(const std::filesystem::path& executable) override { executables.push_back(executable); }

    int terminations = 0;
    std::vector<std::filesystem::path> executables;

private:
    std::vector<std::string>* journal_ = nullptr;
};

}  // namespace quillet::test
