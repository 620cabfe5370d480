#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace quillet::panelstyle {

// Colours of the panel, taken from the palette so that dark and light themes both work.
QColor accent(const QPalette& palette);
QColor separator(const QPalette& palette);
QColor secondaryText(const QPalette& palette);
QColor tertiaryText(const QPalette& palette);
QColor withAlpha(QColor color, double alpha);

// The application font at `pixelSize` logical pixels and `weight`.
QFont panelFont(double pixelSize, QFont::Weight weight);
// The type scale of the panel.
QFont headlineFont();
QFont calloutFont(QFont::Weight weight);
QFont captionFont(QFont::Weight weight);
QFont caption2Font();

}  // namespace quillet::panelstyle
