#pragma once

#include <QWidget>

namespace quillet {

struct DesktopWords;

// Drawings made of text and symbols that show what the walkthrough talks about; none reacts to input.

// The file manager's context menu with the highlighted "Create File" item, 260 wide.
QWidget* contextMenuIllustration(QWidget* parent);
// A desktop panel with the highlighted Quillet+ tray icon, no clock, no particular desktop's bar.
QWidget* trayIllustration(QWidget* parent);
// The Quick Create panel: its title, the two destinations (named as `words` name them), the search
// field and three tiles.
QWidget* quickCreatePanelIllustration(QWidget* parent, const DesktopWords& words);

}  // namespace quillet
