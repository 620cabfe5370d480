#pragma once

#include "platform/URLOpener.h"

namespace quillet {

// Opens URLs through QDesktopServices, which hands them to the desktop's handler for the
// scheme (xdg-open or the portal). Whether the receiving application takes the focus is up to
// it and the window manager; this application never raises itself for it.
class QtURLOpener final : public URLOpener {
public:
    bool openWithoutActivating(const std::string& url) override;
};

}  // namespace quillet
