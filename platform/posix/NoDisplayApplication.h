#pragma once

#include "platform/ApplicationWindows.h"
#include "platform/FileViewer.h"

namespace quillet {

// The application as seen by a process without a display: it has no windows, so there is
// nothing to raise, list, order or close and it is never the application in front, and no file
// manager window can show a file (the command line prints the file's path instead).
class NoDisplayApplication final : public ApplicationWindows, public FileViewer {
public:
    void activateIgnoringOtherApps() override {}
    bool isActive() const override { return false; }
    void setActivationPolicy(ActivationPolicyKind policy) override { policy_ = policy; }
    ActivationPolicyKind activationPolicy() const override { return policy_; }
    void closeWindows(const std::function<bool(const WindowDescription&)>&) override {}
    bool orderFrontFirstWindow(const std::function<bool(const WindowDescription&)>&) override { return false; }
    void orderFrontOnEveryDesktop(NativeWindowID, uint32_t) override {}
    void activateFileViewerSelecting(const std::vector<std::filesystem::path>&) override {}

private:
    ActivationPolicyKind policy_ = ActivationPolicyKind::regular;
};

}  // namespace quillet
