#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <string>
#include <string_view>

class QHBoxLayout;

namespace quillet {

// The look the windows and cards share, on top of the colours and type scale of gui/style/AppStyle.h.
namespace windowstyle {

QFont largeTitleFont();
QFont titleFont();
QFont title2Font();
QFont title3Font();

// The faint fill of a card, readable on light and dark palettes.
QColor quaternaryFill(const QPalette& palette);
// The background of controls and help sections, a step lighter (or darker) than the window.
QColor controlBackground(const QPalette& palette);
QColor green(const QPalette& palette);
QColor red(const QPalette& palette);

// `text` in the session's language (see translate): every label below shows it so.
QString translatedText(std::string_view text);

// Rich text for a literal in which a span between double asterisks is bold; everything else is
// escaped, so a shortcut like "⌘ + <" shows as written.
QString styledTextHtml(std::string_view text);

enum class TextStyle { primary, secondary, tertiary };
// A label in `font` and `style`; `styled` reads double asterisks as bold. Long texts wrap.
QLabel* textLabel(std::string_view text, const QFont& font, TextStyle style, QWidget* parent, bool styled = false);

}  // namespace windowstyle

// A symbol drawn at `pointSize` in `color`, centred in a fixed frame (at least as big as the symbol).
class SymbolView : public QWidget {
public:
    SymbolView(std::string symbolName, QColor color, int pointSize, QWidget* parent = nullptr, int frameWidth = 0);
    const std::string& symbolName() const { return symbolName_; }
    // Moves the symbol down by `inset`, to sit level with the first line of text beside it.
    void setTopInset(int inset);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::string symbolName_;
    QColor color_;
    int pointSize_;
};

// A rounded rectangle filled with `fill` and, when `border` is valid, outlined 1 wide by it.
class RoundedBox : public QWidget {
public:
    RoundedBox(QColor fill, QColor border, double radius, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor fill_;
    QColor border_;
    double radius_;
};

// A square tile on the accent colour at 12 % holding a symbol in the accent colour.
class SymbolTile : public RoundedBox {
public:
    SymbolTile(std::string symbolName, int side, double radius, int symbolSize, QWidget* parent = nullptr);
};

// The card the main window's panes are made of: a row, 12 apart, padded by 14 on a rounded
// (radius 10) quaternary fill. Subclasses add their icon and text column to row().
class WindowCard : public QWidget {
public:
    explicit WindowCard(QWidget* parent = nullptr);
    QHBoxLayout* row() const { return row_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QHBoxLayout* row_;
};

}  // namespace quillet
