#pragma once

#include <filesystem>
#include <memory>

#include "platform/posix/NewFileWriter.h"
#include "platform/posix/ResourceBundle.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "tests/support/TemporaryFolder.h"

namespace quillet::test {

// File managers as the composition roots build them: the built program's templates and ambient
// folder access.
class NewFileWriterFixture {
public:
    // The templates beside the test executable, as beside the program.
    static std::filesystem::path builtResources() { return ResourceBundle::besideExecutable().resourceDirectory(); }

    // Another file manager, with its own access port and resources.
    NewFileWriter make(std::shared_ptr<SecurityScopedAccess> access,
                     const std::filesystem::path& resources = builtResources()) {
        return NewFileWriter(ResourceBundle(resources), std::move(access));
    }

    NewFileWriter fileWriter{ResourceBundle::besideExecutable(), std::make_shared<AmbientScopedAccess>()};
};

}  // namespace quillet::test
