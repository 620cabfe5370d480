#pragma once

#include "platform/TrashAttempt.h"

namespace quillet {

// Trashing through GIO, the desktop's own file layer (what its file managers and portals use);
// it does not say where the item went.
class GioFileTrash final : public TrashAttempt {
public:
    void trash(const std::filesystem::path& item, Completion completion) override;
};

}  // namespace quillet
