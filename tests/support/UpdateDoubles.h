#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ArchiveUnpacker.h"
#include "tests/support/RecordingApplicationLifecycle.h"
#include "platform/UpdateSignatureVerifier.h"
#include "platform/UpdateTransport.h"
#include "platform/UpdateUserDriver.h"
#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// A transport whose transfers wait until the test answers them, in the order they were asked.
class ScriptedUpdateTransport final : public UpdateTransport {
public:
    struct Pending {
        TransferRequest request;
        Progress onProgress;
        Completion onFinish;
        bool cancelled = false;
        bool finished = false;
    };

    std::unique_ptr<Transfer> get(const TransferRequest& request, Progress onProgress, Completion onFinish) override {
        auto pending = std::make_shared<Pending>(Pending{request, std::move(onProgress), std::move(onFinish)});
        transfers.push_back(pending);
        return std::make_unique<ScriptedTransfer>(pending);
    }

    // Finishes the latest transfer, as the transport would on the main loop, unless it was
    // cancelled or dropped meanwhile.
    void answer(TransferResponse response) {
        auto pending = transfers.back();
        if (pending->cancelled || pending->finished) throw std::logic_error("the transfer is not in flight");
        pending->finished = true;
        pending->onFinish(std::move(response));
    }
    void answer(int status, std::string body) { answer(TransferResponse{std::nullopt, status, std::move(body)}); }
    void progress(std::uint64_t received, std::optional<std::uint64_t> expected) {
        transfers.back()->onProgress(received, expected);
    }

    std::vector<std::shared_ptr<Pending>> transfers;

private:
    class ScriptedTransfer final : public Transfer {
    public:
        explicit ScriptedTransfer(std::shared_ptr<Pending> pending) : pending_(std::move(pending)) {}
        ~ScriptedTransfer() override { pending_->cancelled = pending_->cancelled || !pending_->finished; }
        void cancel() override { pending_->cancelled = true; }

    private:
        std::shared_ptr<Pending> pending_;
    };
};

// Hands every request to a real transport and remembers the addresses asked for, so a test
// sees what was fetched and what was not.
class RecordingUpdateTransport final : public UpdateTransport {
public:
    explicit RecordingUpdateTransport(UpdateTransport& transport) : transport_(transport) {}
    std::unique_ptr<Transfer> get(const TransferRequest& request, Progress onProgress, Completion onFinish) override {
        urls.push_back(request.url);
        return transport_.get(request, std::move(onProgress), std::move(onFinish));
    }
    std::vector<std::string> urls;

private:
    UpdateTransport& transport_;
};

// Valid exactly for one key and one signature; remembers what it was asked to check.
class FakeSignatureVerifier final : public UpdateSignatureVerifier {
public:
    Outcome verify(std::string_view publicKey, std::string_view signature, std::string_view data) override {
        checked.push_back(std::string(data));
        if (publicKey != validKey) return Outcome::malformedKey;
        return signature == validSignature ? Outcome::valid : Outcome::invalid;
    }
    std::string validKey = "public-key";
    std::string validSignature = "good-signature";
    std::vector<std::string> checked;
};

// Lays out whatever tree the test scripts, and remembers the archive it was handed.
class ScriptedArchiveUnpacker final : public ArchiveUnpacker {
public:
    void unpack(const std::filesystem::path& archive, const std::filesystem::path& destination) override {
        archives.push_back(readFile(archive));
        destinations.push_back(destination);
        if (layOut) layOut(destination);
    }
    std::function<void(const std::filesystem::path&)> layOut;
    std::vector<std::string> archives;
    std::vector<std::filesystem::path> destinations;
};

// Answers the offer as told and records every dialog.
class RecordingUpdateUserDriver final : public UpdateUserDriver {
public:
    void showAlert(const Alert& alert) override {
        alerts.push_back(alert);
        if (onAlert) onAlert();
    }
    bool offerUpdate(const UpdateOffer& offer) override {
        offers.push_back(offer);
        if (onOffer) onOffer();
        return acceptsOffer;
    }
    void showProgress(const std::string& title, std::function<void()> cancel) override {
        progressTitles.push_back(title);
        onCancel = std::move(cancel);
        progressShown = true;
    }
    void setProgress(std::uint64_t received, std::optional<std::uint64_t> expected) override {
        progress.emplace_back(received, expected);
    }
    void hideProgress() override { progressShown = false; }

    bool acceptsOffer = true;
    std::function<void()> onOffer;
    std::function<void()> onAlert;
    std::vector<Alert> alerts;
    std::vector<UpdateOffer> offers;
    std::vector<std::string> progressTitles;
    std::vector<std::pair<std::uint64_t, std::optional<std::uint64_t>>> progress;
    std::function<void()> onCancel;
    bool progressShown = false;
};

// Lays out an application folder: bin/quillet (executable), share/quillet/Info.json naming
// `version`, and lib/marker holding `marker`.
inline void writeApplication(const std::filesystem::path& folder, const std::string& version, const std::string& marker) {
    std::filesystem::create_directories(folder / "bin");
    std::filesystem::create_directories(folder / "share/quillet");
    std::filesystem::create_directories(folder / "lib");
    writeFile(folder / "bin/quillet", "#!/bin/sh\n# " + marker + "\n");
    ::chmod((folder / "bin/quillet").c_str(), 0755);
    writeFile(folder / "share/quillet/Info.json", R"({"CFBundleShortVersionString": ")" + version + R"("})");
    writeFile(folder / "lib/marker", marker);
}

// Every entry below `folder` with its kind, mode and content, to compare a tree byte for byte.
inline std::map<std::string, std::string> snapshotTree(const std::filesystem::path& folder) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        std::string description = std::to_string(info.st_mode);
        if (S_ISREG(info.st_mode)) description += ":" + readFile(entry.path());
        tree[std::filesystem::relative(entry.path(), folder).string()] = description;
    }
    return tree;
}

}  // namespace quillet::test
