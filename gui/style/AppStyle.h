#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace quillet::appstyle {

// Colours every window, card and panel of Quillet+ draws with, taken from the palette so that
// dark and light themes both work.
QColor accent(const QPalette& palette);
QColor separator(const QPalette& palette);
QColor secondaryText(const QPalette& palette);
QColor tertiaryText(const QPalette& palette);
QColor withAlpha(QColor color, double alpha);
// The opaque colour `t` of the way from `a` to `b`.
QColor mix(const QColor& a, const QColor& b, double t);

// The application font at `pixelSize` logical pixels and `weight`.
QFont appFont(double pixelSize, QFont::Weight weight);
// The type scale they share.
QFont headlineFont();
QFont calloutFont(QFont::Weight weight);
QFont captionFont(QFont::Weight weight);

}  // namespace quillet::appstyle
