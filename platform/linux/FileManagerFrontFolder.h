#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/FrontFileManagerFolder.h"
#include "platform/linux/DesktopSessionAddresses.h"

namespace quillet {

// The folder of the front file manager window, whichever file manager it belongs to. On an X11
// desktop the window manager's stacking list says which window is in front (see
// frontFileManagerWindow); a Nautilus window's _GTK_WINDOW_OBJECT_PATH names it among the file
// manager's OpenWindowsWithLocations, asked of Nautilus by its own bus name; the other file
// managers' windows carry their folder themselves, or do not tell it. Opens its own X connection
// to the session's display per query, so it works without a Qt platform window. Needs a
// QCoreApplication for the bus. In a Wayland session, which has no stacking list for clients, only
// a single Nautilus window names its folder. No window manager, no file manager window, no bus or
// a slow answer all give nothing.
class FileManagerFrontFolder final : public FrontFileManagerFolder {
public:
    explicit FileManagerFrontFolder(DesktopSessionAddresses session,
                                 std::chrono::milliseconds busTimeout = std::chrono::milliseconds(500));
    std::optional<std::filesystem::path> frontFolder() override;

private:
    DesktopSessionAddresses session_;
    std::chrono::milliseconds busTimeout_;
};

}  // namespace quillet
