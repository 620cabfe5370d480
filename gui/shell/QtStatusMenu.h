#pragma once

#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QRectF>

#include "platform/StatusMenu.h"

namespace quillet {

// Adds the menu's items to `menu` in order: separators, disabled headers, submenus and items
// that run their action when chosen, each with its symbol's icon.
void renderStatusMenu(QMenu& menu, const StatusMenu& items);

// The tray image: a page in front of a page with a plus badge, in black and clear, drawn into
// `rect` (a 22 by 18 design scaled to fit, centred).
void drawTrayImage(QPainter& painter, const QRectF& rect);

// The tray image as a mask icon (the desktop tints it), drawn at 22 by 18 and at twice that,
// so it is crisp on ordinary and high density screens.
QIcon trayImageIcon();

}  // namespace quillet
