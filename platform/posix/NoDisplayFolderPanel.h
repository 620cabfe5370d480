#pragma once

#include "platform/FolderPanel.h"

namespace quillet {

// Without a display no folder can be chosen: every prompt ends as if the user had cancelled,
// so the caller reports that access is missing and writes nothing.
class NoDisplayFolderPanel final : public FolderPanel {
public:
    FolderPanelResult runModal(const FolderPanelConfiguration&) override { return {}; }
};

}  // namespace quillet
