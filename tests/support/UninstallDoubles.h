#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RunningFileManagers.h"
#include "tests/support/RecordingApplicationLifecycle.h"
#include "platform/TrashAttempt.h"
#include "tests/support/ManualMainQueueTimer.h"

namespace quillet::test {

// What the doubles below were asked to do, in order, across all of them.
using Journal = std::vector<std::string>;

// File manager instances that quit when asked (or, when `quitsAfterChecks` is set, only after
// that many checks), refuse when listed in `refusing`, and end at once when forced.
class FakeRunningFileManagers final : public RunningFileManagers {
public:
    explicit FakeRunningFileManagers(Journal& journal) : journal_(journal) {}

    std::vector<RunningFileManager> instances;
    std::vector<std::int64_t> refusing;
    // Checks each instance answers "still running" after it was asked to quit; 0: ends at once.
    int quitsAfterChecks = 0;
    int checks = 0;
    int relaunches = 0;

    std::vector<RunningFileManager> running() override {
        journal_.push_back("list file managers");
        return instances;
    }
    bool terminate(const RunningFileManager& instance) override {
        journal_.push_back("terminate " + std::to_string(instance.processIdentifier));
        for (auto pid : refusing)
            if (pid == instance.processIdentifier) return false;
        return true;
    }
    void forceTerminate(const RunningFileManager& instance) override {
        journal_.push_back("force " + std::to_string(instance.processIdentifier));
    }
    bool isTerminated(const RunningFileManager&) override {
        ++checks;
        return checks > quitsAfterChecks * static_cast<int>(instances.size());
    }
    void relaunch() override {
        ++relaunches;
        journal_.push_back("relaunch file manager");
    }

private:
    Journal& journal_;
};

// One way of trashing, scripted: it answers with `outcome`, and when `moves` is set it really
// moves the item into `trashFolder` first, as a working trash would.
class ScriptedTrashAttempt final : public TrashAttempt {
public:
    ScriptedTrashAttempt(std::string name, Journal& journal) : name_(std::move(name)), journal_(journal) {}

    TrashOutcome outcome = TrashOutcome::failed("not scripted");
    bool moves = false;
    std::filesystem::path trashFolder;
    std::vector<std::filesystem::path> requests;

    void trash(const std::filesystem::path& item, Completion completion) override {
        journal_.push_back("trash with " + name_);
        requests.push_back(item);
        if (moves) std::filesystem::rename(item, trashFolder / item.filename());
        completion(outcome);
    }

private:
    std::string name_;
    Journal& journal_;
};

}  // namespace quillet::test
