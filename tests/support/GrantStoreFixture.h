#pragma once

#include <memory>

#include "app/access/SecurityScopedFolderAccess.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/RecordingApplicationWindows.h"
#include "tests/support/ScriptedFolderPanel.h"
#include "tests/support/TemporaryConfigHome.h"

namespace quillet::test {

// The real grant store on the shared settings suite of a private configuration home, with the
// real bookmarks and display names, a scripted folder panel and a recording activation.
class GrantStoreFixture {
public:
    DefaultsSuite& suite() { return *suite_; }

    TemporaryConfigHome config;

private:
    std::unique_ptr<DefaultsSuite> suite_ = DefaultsSuite::open(config.path(), DefaultsSuite::kSharedSuiteName);

public:
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames names;
    ScriptedFolderPanel panel;
    RecordingApplicationWindows windows;
    SecurityScopedFolderAccess access{*suite_, bookmarks, names, &panel, &windows};
};

}  // namespace quillet::test
