#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

#include <string_view>

namespace quillet {

// The icon for a symbol name: the icon theme's image where the theme has one, else a line
// drawing of our own in `color`, so every symbol shows even without an installed theme.
QIcon symbolIcon(std::string_view symbolName, const QColor& color);

// Only our own drawing, never the theme's (what shows where no theme is installed).
QIcon drawnSymbolIcon(std::string_view symbolName, const QColor& color);

// Whether a drawing exists for the symbol.
bool hasDrawnSymbol(std::string_view symbolName);

}  // namespace quillet
