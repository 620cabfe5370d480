#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

#include <string_view>

#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// The icon for a symbol name: the icon theme's image where the theme has one, else a line
// drawing of our own in `color`, so every symbol shows even without an installed theme.
QIcon symbolIcon(std::string_view symbolName, const QColor& color);

// The icon of a file type: the user's icon theme's image for its MIME type (found from its
// extension), else the theme's generic one for that kind of file, else our drawing in `color`.
QIcon fileTypeIcon(const FileTypeDefinition& type, const QColor& color);

// Only our own drawing, never the theme's (what shows where no theme is installed).
QIcon drawnSymbolIcon(std::string_view symbolName, const QColor& color);

// Whether a drawing exists for the symbol.
bool hasDrawnSymbol(std::string_view symbolName);

}  // namespace quillet
