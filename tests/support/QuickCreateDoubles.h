#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/quickcreate/CreationDestinations.h"
#include "app/quickcreate/QuickCreatePanelHost.h"
#include "platform/ScreenLayout.h"
#include "tests/support/FolderPaths.h"
#include "tests/support/RecordingApplicationWindows.h"

namespace quillet::test {

// A panel window that records how the controller drove it.
class RecordingPanelHost final : public QuickCreatePanelHost {
public:
    ScreenSize size{560, 600};
    std::vector<ScreenPoint> origins;
    std::vector<uint32_t> shownWithTimestamps;
    int hides = 0;
    bool visible = false;

    ScreenSize frameSize() const override { return size; }
    void setFrameOrigin(ScreenPoint origin) override { origins.push_back(origin); }
    void makeKeyAndOrderFront(uint32_t eventTimestamp) override {
        shownWithTimestamps.push_back(eventTimestamp);
        visible = true;
    }
    void orderOut() override {
        ++hides;
        visible = false;
    }
    bool isVisible() const override { return visible; }
};

// Hands out RecordingPanelHosts and keeps a pointer to each (owned by the controller).
class RecordingPanelFactory final : public QuickCreatePanelFactory {
public:
    std::vector<RecordingPanelHost*> made;
    std::unique_ptr<QuickCreatePanelHost> makeQuickCreatePanel(DesktopCreationController&) override {
        auto host = std::make_unique<RecordingPanelHost>();
        made.push_back(host.get());
        return host;
    }
};

// Screens and pointer as the test sets them; the toolkit's main screen starts at its top.
class FixedScreenLayout final : public ScreenLayout {
public:
    std::vector<DisplayScreen> displayScreens{{{0, 0, 1920, 1080}, {0, 0, 1920, 1055}}};
    ScreenPoint pointer{960, 540};
    std::vector<DisplayScreen> screens() const override { return displayScreens; }
    ScreenPoint pointerLocation() const override { return pointer; }
    double mainScreenBottom() const override { return displayScreens.empty() ? 0 : displayScreens[0].frame.height; }
};

// The Desktop is a folder the test chose; the file manager's front folder is scripted, and
// nothing (no window) once the answers run out.
class TemporaryCreationDestinations final : public CreationDestinations {
public:
    explicit TemporaryCreationDestinations(std::filesystem::path desktop) : desktop_(std::move(desktop)) {}
    std::optional<std::filesystem::path> frontFolder;
    int resolutions = 0;

    std::filesystem::path desktopFolderURL() override { return desktop_; }
    ResolvedCreationDestination resolveDestination(CreationDestinationMode mode) override {
        ++resolutions;
        if (mode == CreationDestinationMode::frontFinderFolder) {
            if (frontFolder) return {mode, folderPath(*frontFolder), false};
            return {mode, folderPath(desktop_), true};
        }
        return {mode, folderPath(desktop_), false};
    }

private:
    std::filesystem::path desktop_;
};

}  // namespace quillet::test
