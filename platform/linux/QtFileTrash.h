#pragma once

#include "platform/TrashAttempt.h"

namespace quillet {

// Trashing through Qt's file API (the freedesktop Trash of the item's file system), which says
// where the item went.
class QtFileTrash final : public TrashAttempt {
public:
    void trash(const std::filesystem::path& item, Completion completion) override;
};

}  // namespace quillet
