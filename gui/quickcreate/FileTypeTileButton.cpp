#include "gui/quickcreate/FileTypeTileButton.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"

namespace quillet {

using namespace appstyle;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

constexpr int kNameLines = 2;

// `text` broken at word boundaries into lines no wider than `width` at `font`, at most
// `maxLines` of them; a word wider than a line is broken where it must be.
QStringList wrappedLines(const QString& text, const QFont& font, int width, int maxLines) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    // More than fits: what is left joins the last line, which is then elided at its end.
    if (lines.size() > maxLines) {
        QString last = lines.mid(maxLines - 1).join(QLatin1Char(' '));
        lines = lines.mid(0, maxLines - 1);
        lines << QFontMetrics(font).elidedText(last, Qt::ElideRight, width);
    }
    return lines;
}

}  // namespace

FileTypeTileButton::FileTypeTileButton(FileTypeDefinition type, std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent), type_(std::move(type)), action_(std::move(action)) {
    setCursor(Qt::PointingHandCursor);
    // The keyboard stays in the search field; the arrows move the selection from there.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setToolTip(qs(localizedName(type_) + " (." + type_.fileExtension + ")"));
    setAccessibleName(qs(localizedName(type_)));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_) action_();
    });
}

QSize FileTypeTileButton::sizeHint() const { return {kMinimumWidth, kMinimumHeight}; }
QSize FileTypeTileButton::minimumSizeHint() const { return {kMinimumWidth, kMinimumHeight}; }

void FileTypeTileButton::setSelected(bool selected) {
    if (selected == isSelected_) return;
    isSelected_ = selected;
    update();
}

void FileTypeTileButton::enterEvent(QEnterEvent* event) {
    isHovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FileTypeTileButton::leaveEvent(QEvent* event) {
    isHovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FileTypeTileButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) icon_ = QIcon();
    QAbstractButton::changeEvent(event);
}

void FileTypeTileButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor tint = accent(pal);

    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool lit = isHovered_ || isSelected_;
    p.setBrush(lit ? withAlpha(tint, isDown() ? 0.18 : 0.10) : withAlpha(pal.color(QPalette::Button), 0.78));
    if (isSelected_)
        p.setPen(QPen(tint, 2));
    else
        p.setPen(QPen(isHovered_ ? withAlpha(tint, 0.42) : withAlpha(separator(pal), 0.45), 1));
    p.drawRoundedRect(isSelected_ ? shape.adjusted(0.5, 0.5, -0.5, -0.5) : shape, 8, 8);

    // Icon: 28 point box, accent at 12 percent, the symbol in the tint colour.
    const QRect box(10, (height() - 28) / 2, 28, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(tint, 0.12));
    p.drawRoundedRect(QRectF(box), 6, 6);
    if (icon_.isNull()) icon_ = fileTypeIcon(type_, tint);
    // A theme's file icon is a picture of a page that fills the box; our line symbols sit in it.
    const int side = icon_.name().isEmpty() ? 16 : 24;
    const QRect iconRect(box.center().x() - side / 2 + 1, box.center().y() - side / 2 + 1, side, side);
    icon_.paint(&p, iconRect);

    // Texts: the name on one line or two (never smaller, never cut), then ".extension", 1 apart,
    // centred together.
    const QRect textArea = textRect();
    const QStringList lines = nameLines();
    const QFont font = nameFont();
    const QFont extensionFont = appFont(11, QFont::Normal);
    const int nameHeight = QFontMetrics(font).height();
    const int extensionHeight = QFontMetrics(extensionFont).height();
    const int top = (height() - nameHeight * int(lines.size()) - 1 - extensionHeight) / 2;
    p.setPen(pal.color(QPalette::WindowText));
    p.setFont(font);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRect(textArea.left(), top + i * nameHeight, textArea.width(), nameHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    p.setPen(secondaryText(pal));
    p.setFont(extensionFont);
    const QString extension = qs("." + type_.fileExtension);
    p.drawText(QRect(textArea.left(), top + nameHeight * int(lines.size()) + 1, textArea.width(), extensionHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(extensionFont).elidedText(extension, Qt::ElideRight, textArea.width()));
}

QFont FileTypeTileButton::nameFont() { return calloutFont(QFont::Medium); }

QRect FileTypeTileButton::textRect() const {
    const int textLeft = 10 + 28 + 10;
    return QRect(textLeft, 0, width() - textLeft - 10, height());
}

QStringList FileTypeTileButton::nameLines() const {
    return wrappedLines(qs(localizedName(type_)), nameFont(), textRect().width(), kNameLines);
}

}  // namespace quillet
