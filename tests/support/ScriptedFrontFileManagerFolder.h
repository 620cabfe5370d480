#pragma once

#include <deque>
#include <filesystem>
#include <optional>

#include "platform/FrontFileManagerFolder.h"

namespace quillet::test {

// Answers the queued folders in order (nothing once the queue is empty) and counts the questions.
class ScriptedFrontFileManagerFolder final : public FrontFileManagerFolder {
public:
    void enqueue(std::optional<std::filesystem::path> answer) { answers_.push_back(std::move(answer)); }

    std::optional<std::filesystem::path> frontFolder() override {
        ++calls_;
        if (answers_.empty()) return std::nullopt;
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    int calls() const { return calls_; }

private:
    std::deque<std::optional<std::filesystem::path>> answers_;
    int calls_ = 0;
};

}  // namespace quillet::test
