#pragma once

#include <memory>

#include "platform/StatusMenu.h"

namespace quillet {

// The application's icon in the desktop's tray. It shows while the object lives and is removed
// when it is destroyed.
class StatusItem {
public:
    virtual ~StatusItem() = default;
    // Replaces the whole menu; menus are never edited in place.
    virtual void setMenu(StatusMenu menu) = 0;
};

// Where tray icons are made.
class StatusBar {
public:
    virtual ~StatusBar() = default;
    virtual std::unique_ptr<StatusItem> makeStatusItem() = 0;
    // Whether the desktop has a tray that shows icons now. Without one a status item exists
    // but nobody sees it.
    virtual bool isTrayAvailable() const = 0;
};

}  // namespace quillet
