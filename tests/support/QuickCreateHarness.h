#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/creation/FileCreationService.h"
#include "app/quickcreate/DesktopCreationController.h"
#include "app/settings/AppSettings.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/NewFileWriterFixture.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/ManualMainQueue.h"
#include "tests/support/QuickCreateDoubles.h"
#include "tests/support/RecordingApplicationWindows.h"
#include "tests/support/RecordingFileViewer.h"
#include "tests/support/RecordingModalAlert.h"
#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// A DesktopCreationController over an in-memory settings suite, with a temporary Desktop that
// real files are created in and doubles for everything the desktop would do. The panel factory
// and screen layout may be the real ones (widget tests) or the recording doubles.
class QuickCreateHarness {
public:
    // `words`: the session's names; by default those of a desktop whose file manager is unknown.
    explicit QuickCreateHarness(QuickCreatePanelFactory* panelFactory = nullptr, ScreenLayout* screenLayout = nullptr,
                                DesktopWords words = {})
        : desktop(root.path() / "Desktop"),
          destinations(desktop),
          suite(DefaultsSuite::openInMemory("quickcreate-test")),
          settings(*suite),
          controller(DesktopCreationEnvironment{
              settings,
              hotKeys,
              mainQueue,
              [this](const FileTypeDefinition& type, const FolderPath& folder) {
                  ++creations;
                  if (failure) failure();
                  return createFile(type, folder, files.fileWriter);
              },
              destinations,
              fileViewer,
              alert,
              windows,
              panelFactory ? *panelFactory : recordingPanels,
              screenLayout ? *screenLayout : screens,
              std::move(words),
          }) {
        std::filesystem::create_directories(desktop);
    }

    TemporaryFolder root;
    NewFileWriterFixture files;
    std::filesystem::path desktop;
    TemporaryCreationDestinations destinations;
    std::unique_ptr<DefaultsSuite> suite;
    AppSettings settings;
    FakeHotKeyService hotKeys;
    ManualMainQueue mainQueue;
    RecordingFileViewer fileViewer;
    RecordingModalAlert alert;
    RecordingPanelFactory recordingPanels;
    FixedScreenLayout screens;
    RecordingApplicationWindows windows;
    // Runs before each creation; throw from it to make the creation fail.
    std::function<void()> failure;
    int creations = 0;
    DesktopCreationController controller;
};

}  // namespace quillet::test
