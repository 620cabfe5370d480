#include "gui/shortcuts/ShortcutStyle.h"

#include <QFontDatabase>

#include "gui/style/AppStyle.h"

namespace quillet::shortcutstyle {

using appstyle::mix;

namespace {
bool isDark(const QPalette& palette) { return palette.color(QPalette::Window).lightnessF() < 0.5; }
}  // namespace

QColor fieldBackground(const QPalette& palette) { return palette.color(QPalette::Base); }
QColor fieldLabel(const QPalette& palette) { return palette.color(QPalette::Text); }
QColor fieldSecondaryLabel(const QPalette& palette) {
    return mix(palette.color(QPalette::Text), palette.color(QPalette::Base), 0.45);
}

QColor conflictRed(const QPalette& palette) {
    return isDark(palette) ? QColor(0xff, 0x6b, 0x61) : QColor(0xc8, 0x1e, 0x1e);
}

QColor cardFill(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(isDark(palette) ? 0.07f : 0.045f);
    return color;
}

QFont monospacedFont(int pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Medium);
    return font;
}

}  // namespace quillet::shortcutstyle
