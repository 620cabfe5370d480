#pragma once

#include "platform/FolderPanel.h"

class QFileDialog;

namespace quillet {

// A QFileDialog (Qt's own, so every option below holds on every desktop) run application-
// modally. Title as the window title; the message in a header line above the file list, where
// the dialog has no label of its own for it; the prompt as the accept button's text. Folders
// only unless files are asked for, and read-only, which removes "Create New Folder" (and
// renaming and deleting) when folders may not be created.
class QtFolderPanel final : public FolderPanel {
public:
    static constexpr const char* kMessageLabelName = "quilletPanelMessage";

    FolderPanelResult runModal(const FolderPanelConfiguration& configuration) override;

    // Sets up a dialog as runModal shows it; exposed so its look can be checked without a user.
    static void configure(QFileDialog& dialog, const FolderPanelConfiguration& configuration);
};

}  // namespace quillet
