#pragma once

#include <filesystem>
#include <memory>

#include "platform/FileManager.h"
#include "platform/ResourceBundle.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "platform/posix/LockFileCoordinator.h"
#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// File managers as the composition roots build them: the built program's templates, ambient
// folder access, and a lock-file coordinator, whose lock files live in a temporary folder of
// the fixture's own instead of the user's runtime folder.
class FileManagerFixture {
public:
    // The templates beside the test executable, as beside the program.
    static std::filesystem::path builtResources() { return ResourceBundle::besideExecutable().resourceDirectory(); }

    // Another file manager on the same coordinator, with its own access port and resources.
    FileManager make(std::shared_ptr<SecurityScopedAccess> access,
                     const std::filesystem::path& resources = builtResources()) {
        return FileManager(ResourceBundle(resources), std::move(access), coordinator);
    }

    TemporaryFolder lockFolder;
    LockFileCoordinator coordinator{lockFolder.path() / "quillet-locks"};
    FileManager fileManager{ResourceBundle::besideExecutable(), std::make_shared<AmbientScopedAccess>(), coordinator};
};

}  // namespace quillet::test
