#include "gui/windows/WindowStyle.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace windowstyle {

namespace {
bool isDark(const QPalette& palette) { return palette.color(QPalette::Window).lightnessF() < 0.5; }
}  // namespace

QFont largeTitleFont() { return appstyle::appFont(26, QFont::DemiBold); }
QFont titleFont() { return appstyle::appFont(22, QFont::Normal); }
QFont title2Font() { return appstyle::appFont(19, QFont::DemiBold); }
QFont title3Font() { return appstyle::appFont(16, QFont::Normal); }

QColor quaternaryFill(const QPalette& palette) {
    return appstyle::withAlpha(palette.color(QPalette::WindowText), isDark(palette) ? 0.10 : 0.06);
}

QColor controlBackground(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    return isDark(palette) ? window.lighter(125) : palette.color(QPalette::Base);
}

QColor green(const QPalette& palette) { return isDark(palette) ? QColor(48, 209, 88) : QColor(40, 167, 69); }
QColor red(const QPalette& palette) { return isDark(palette) ? QColor(255, 105, 97) : QColor(215, 40, 40); }

// The windows' texts pass through here: a text of the catalogue is shown in the session's
// language (one already translated or filled in is found in no catalogue and stays as it is).
QString translatedText(std::string_view text) { return QString::fromUtf8(translate(std::string(text).c_str())); }

QString styledTextHtml(std::string_view text) {
    const QString source = translatedText(text);
    const QStringList parts = source.split(QStringLiteral("**"));
    QString html;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        // Odd parts sit between a pair of markers; an unpaired last marker is shown as written.
        const bool bold = i % 2 == 1 && i + 1 < parts.size();
        if (i % 2 == 1 && !bold) html += QStringLiteral("**");
        html += bold ? QStringLiteral("<b>%1</b>").arg(parts[i].toHtmlEscaped()) : parts[i].toHtmlEscaped();
    }
    return html;
}

QLabel* textLabel(std::string_view text, const QFont& font, TextStyle style, QWidget* parent, bool styled) {
    auto* label = new QLabel(parent);
    if (styled) {
        label->setTextFormat(Qt::RichText);
        label->setText(styledTextHtml(text));
    } else {
        label->setTextFormat(Qt::PlainText);
        label->setText(translatedText(text));
    }
    label->setFont(font);
    label->setWordWrap(true);
    // Text sits at the top of whatever height the layout gives it, level with its icon.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    QPalette palette = label->palette();
    const QPalette& base = parent ? parent->palette() : palette;
    switch (style) {
    case TextStyle::primary: break;
    case TextStyle::secondary: palette.setColor(QPalette::WindowText, appstyle::secondaryText(base)); break;
    case TextStyle::tertiary: palette.setColor(QPalette::WindowText, appstyle::tertiaryText(base)); break;
    }
    label->setPalette(palette);
    return label;
}

}  // namespace windowstyle

SymbolView::SymbolView(std::string symbolName, QColor color, int pointSize, QWidget* parent, int frameWidth)
    : QWidget(parent), symbolName_(std::move(symbolName)), color_(color), pointSize_(pointSize) {
    setFixedSize(std::max(frameWidth, pointSize), pointSize);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setTopInset(int inset) {
    setContentsMargins(0, inset, 0, 0);
    setFixedHeight(pointSize_ + inset);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QRect square(area.x() + (area.width() - pointSize_) / 2, area.y() + (area.height() - pointSize_) / 2,
                       pointSize_, pointSize_);
    symbolIcon(symbolName_, color_).paint(&painter, square);
}

RoundedBox::RoundedBox(QColor fill, QColor border, double radius, QWidget* parent)
    : QWidget(parent), fill_(fill), border_(border), radius_(radius) {}

void RoundedBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius_, radius_);
    painter.fillPath(shape, fill_);
    if (border_.isValid()) {
        painter.setPen(QPen(border_, 1));
        painter.drawPath(shape);
    }
}

SymbolTile::SymbolTile(std::string symbolName, int side, double radius, int symbolSize, QWidget* parent)
    : RoundedBox(appstyle::withAlpha(appstyle::accent(parent ? parent->palette() : QPalette()), 0.12), QColor(),
                 radius, parent) {
    setFixedSize(side, side);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SymbolView(std::move(symbolName), appstyle::accent(palette()), symbolSize, this), 0,
                      Qt::AlignCenter);
}

WindowCard::WindowCard(QWidget* parent) : QWidget(parent), row_(new QHBoxLayout(this)) {
    row_->setContentsMargins(14, 14, 14, 14);
    row_->setSpacing(12);
}

void WindowCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(shape, windowstyle::quaternaryFill(palette()));
}

}  // namespace quillet
