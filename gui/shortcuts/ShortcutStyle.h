#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace quillet::shortcutstyle {

// The field's own background and the text drawn on it.
QColor fieldBackground(const QPalette& palette);
QColor fieldLabel(const QPalette& palette);
QColor fieldSecondaryLabel(const QPalette& palette);
// Conflicts: a red that keeps its contrast on light and dark windows alike.
QColor conflictRed(const QPalette& palette);
// The card's faint fill over the window.
QColor cardFill(const QPalette& palette);
// The system's fixed-pitch font at `pixelSize` and medium weight, for key combinations.
QFont monospacedFont(int pixelSize);

}  // namespace quillet::shortcutstyle
