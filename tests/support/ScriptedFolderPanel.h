#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/FolderPanel.h"

namespace quillet::test {

// Answers queued results in order and keeps every configuration it was asked to show. Running
// out of answers fails the test loudly rather than inventing one.
class ScriptedFolderPanel final : public FolderPanel {
public:
    void enqueue(FolderPanelResult answer) { answers_.push_back(std::move(answer)); }
    void enqueueChoice(std::filesystem::path folder) { enqueue({true, {std::move(folder)}}); }
    void enqueueCancel() { enqueue({false, {}}); }

    FolderPanelResult runModal(const FolderPanelConfiguration& configuration) override {
        shown_.push_back(configuration);
        if (onRun) onRun();
        if (answers_.empty()) throw std::logic_error("ScriptedFolderPanel has no answer left");
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    const std::vector<FolderPanelConfiguration>& shown() const { return shown_; }
    // Called as the panel opens, to observe what happened before it.
    std::function<void()> onRun;

private:
    std::deque<FolderPanelResult> answers_;
    std::vector<FolderPanelConfiguration> shown_;
};

}  // namespace quillet::test
