#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extension/FinderSyncHost.h"

namespace quillet::test {

// A file manager in a test: the targeted folder and the selection are set by the test, the
// monitored folders and opened URLs are recorded, and completions run when the test says so.
class RecordingFinderSyncHost : public FinderSyncHost {
public:
    void setDirectoryURLs(const std::vector<std::filesystem::path>& directories) override {
        directoryURLs = directories;
    }
    std::optional<std::filesystem::path> targetedURL() const override { return targeted; }
    std::vector<std::filesystem::path> selectedItemURLs() const override { return selection; }
    void openURL(const std::string& url, OpenCompletion completion) override {
        openedURLs.push_back(url);
        completions.push_back(std::move(completion));
    }

    // Runs the oldest pending completion with that outcome.
    void complete(const std::optional<std::string>& failure = std::nullopt) {
        auto completion = std::move(completions.front());
        completions.erase(completions.begin());
        completion(failure);
    }

    std::optional<std::filesystem::path> targeted;
    std::vector<std::filesystem::path> selection;
    std::vector<std::filesystem::path> directoryURLs;
    std::vector<std::string> openedURLs;
    std::vector<OpenCompletion> completions;
};

}  // namespace quillet::test
