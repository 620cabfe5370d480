#pragma once

#include <filesystem>
#include <memory>

#include "platform/FileManager.h"
#include "platform/ResourceBundle.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// File managers as the composition roots build them: the built program's templates and ambient
// folder access.
class FileManagerFixture {
public:
    // The templates beside the test executable, as beside the program.
    static std::filesystem::path builtResources() { return ResourceBundle::besideExecutable().resourceDirectory(); }

    // Another file manager, with its own access port and resources.
    FileManager make(std::shared_ptr<SecurityScopedAccess> access,
                     const std::filesystem::path& resources = builtResources()) {
        return FileManager(ResourceBundle(resources), std::move(access));
    }

    FileManager fileManager{ResourceBundle::besideExecutable(), std::make_shared<AmbientScopedAccess>()};
};

}  // namespace quillet::test
