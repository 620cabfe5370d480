#include "gui/style/AppStyle.h"

#include <QApplication>

namespace quillet::appstyle {

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}

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

QFont appFont(double pixelSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(pixelSize + 0.5));
    font.setWeight(weight);
    return font;
}

QFont headlineFont() { return appFont(14, QFont::DemiBold); }
QFont calloutFont(QFont::Weight weight) { return appFont(13, weight); }
QFont captionFont(QFont::Weight weight) { return appFont(11, weight); }

}  // namespace quillet::appstyle
