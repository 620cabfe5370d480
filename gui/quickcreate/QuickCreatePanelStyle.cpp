#include "gui/quickcreate/QuickCreatePanelStyle.h"

#include <QApplication>

namespace quillet::panelstyle {

namespace {
QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}
}  // namespace

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(color.alphaF() * alpha));
    return color;
}

QColor accent(const QPalette& palette) { return palette.color(QPalette::Active, QPalette::Highlight); }
QColor separator(const QPalette& palette) { return palette.color(QPalette::Mid); }
// Some styles give placeholder text the full text colour; a mix with the background keeps the
// secondary and tertiary levels apart everywhere.
QColor secondaryText(const QPalette& palette) {
    return mix(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.42);
}
QColor tertiaryText(const QPalette& palette) {
    return mix(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.6);
}

QFont panelFont(double pixelSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(pixelSize + 0.5));
    font.setWeight(weight);
    return font;
}

QFont headlineFont() { return panelFont(14, QFont::DemiBold); }
QFont calloutFont(QFont::Weight weight) { return panelFont(13, weight); }
QFont captionFont(QFont::Weight weight) { return panelFont(11, weight); }
QFont caption2Font() { return panelFont(10.5, QFont::Normal); }

}  // namespace quillet::panelstyle
