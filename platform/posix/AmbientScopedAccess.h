#pragma once

#include "platform/SecurityScopedAccess.h"

namespace quillet {

// On Linux the process's own permissions decide what it may write; there is no scope to open.
// Access still "starts" so that callers keep the start/stop pairing they rely on elsewhere.
class AmbientScopedAccess final : public SecurityScopedAccess {
public:
    bool startAccessing(const std::filesystem::path&) override { return true; }
    void stopAccessing(const std::filesystem::path&) override {}
};

}  // namespace quillet
