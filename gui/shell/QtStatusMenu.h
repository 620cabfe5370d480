#pragma once

#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QMenu>
#include <QPainter>
#include <QRectF>

#include "platform/StatusMenu.h"

namespace quillet {

// Adds the menu's items to `menu` in order: separators, disabled headers, submenus and items
// that run their action when chosen, each with its symbol's icon.
void renderStatusMenu(QMenu& menu, const StatusMenu& items);

// The tray image: a page in front of a page with a plus badge, in `color` and clear, drawn into
// `rect` (a 22 by 18 design scaled to fit, centred).
void drawTrayImage(QPainter& painter, const QRectF& rect, const QColor& color);

// The colour the tray image is drawn in: the text colour of the desktop's palette, the colour
// the panel's own labels have (light on a dark panel, dark on a light one). Few trays tint a
// pixmap icon, so the image cannot leave the colour to them.
QColor trayImageColor(const QPalette& palette);

// The tray image in `color`, drawn at 22 by 18 and at twice that, so it is crisp on ordinary
// and high density screens.
QIcon trayImageIcon(const QColor& color);

}  // namespace quillet
