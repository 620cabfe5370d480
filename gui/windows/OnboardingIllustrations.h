#pragma once

#include <QWidget>

namespace quillet {

// Drawings made of text and symbols that show what the walkthrough talks about; none reacts to input.

// Finder's context menu with the highlighted "Create File" item, 260 wide.
QWidget* contextMenuIllustration(QWidget* parent);
// The desktop's top bar with the highlighted Quillet+ tray icon, where Finder has no toolbar button.
QWidget* trayIllustration(QWidget* parent);
// The Quick Create panel: its title, the two destinations, the search field and three tiles.
QWidget* quickCreatePanelIllustration(QWidget* parent);

}  // namespace quillet
