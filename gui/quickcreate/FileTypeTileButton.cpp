#include "gui/quickcreate/FileTypeTileButton.h"

#include <QEvent>
#include <QPainter>

#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"

namespace quillet {

using namespace appstyle;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Draws `text` on one line at `font` (sized in pixels), first shrinking it down to 82 percent,
// then eliding.
void drawFittedText(QPainter& p, const QRect& rect, const QString& text, const QFont& font) {
    const int base = font.pixelSize();
    QFont trial = font;
    for (int size = base; size >= static_cast<int>(base * 0.82 + 0.5); --size) {
        trial.setPixelSize(size);
        if (QFontMetrics(trial).horizontalAdvance(text) <= rect.width()) {
            p.setFont(trial);
            p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
            return;
        }
    }
    p.setFont(trial);
    p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(trial).elidedText(text, Qt::ElideRight, rect.width()));
}

}  // namespace

FileTypeTileButton::FileTypeTileButton(FileTypeDefinition type, std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent), type_(std::move(type)), action_(std::move(action)) {
    setCursor(Qt::PointingHandCursor);
    // The keyboard stays in the search field; the arrows move the selection from there.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setToolTip(qs(type_.displayName + " (." + type_.fileExtension + ")"));
    setAccessibleName(qs(type_.displayName));
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
    if (icon_.isNull()) icon_ = symbolIcon(type_.sfSymbolName, tint);
    const QRect iconRect(box.center().x() - 8 + 1, box.center().y() - 8 + 1, 16, 16);
    icon_.paint(&p, iconRect);

    // Texts: the name, then ".extension", 1 apart, centred together.
    const int textLeft = box.right() + 1 + 10;
    const QRect textArea(textLeft, 0, width() - textLeft - 10, height());
    const QFont nameFont = calloutFont(QFont::Medium);
    const QFont extensionFont = appFont(11, QFont::Normal);
    const int nameHeight = QFontMetrics(nameFont).height();
    const int extensionHeight = QFontMetrics(extensionFont).height();
    const int top = (height() - nameHeight - 1 - extensionHeight) / 2;
    p.setPen(pal.color(QPalette::WindowText));
    drawFittedText(p, QRect(textArea.left(), top, textArea.width(), nameHeight), qs(type_.displayName), nameFont);
    p.setPen(secondaryText(pal));
    drawFittedText(p, QRect(textArea.left(), top + nameHeight + 1, textArea.width(), extensionHeight),
                   qs("." + type_.fileExtension), extensionFont);
}

}  // namespace quillet
