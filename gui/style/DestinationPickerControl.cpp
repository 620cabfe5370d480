#include "gui/style/DestinationPickerControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"

namespace quillet {

using namespace appstyle;

DestinationPickerControl::DestinationPickerControl(const DesktopWords& words, QWidget* parent)
    : QWidget(parent), words_(words) {
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Destination"));
}

// kWidth, or wider where a title (a longer language's, a long file manager name) would not fit in
// its half: two equal halves, each its icon and title with room on both sides.
QSize DestinationPickerControl::sizeHint() const {
    const QFontMetrics metrics(appFont(12.5, QFont::Medium));
    int widest = 0;
    for (const auto& choice : destinationChoices())
        widest = std::max(widest, 14 + 6 + metrics.horizontalAdvance(segmentTitle(choice.mode)) + 2 + 16);
    return {std::max(kWidth, 2 * widest), 26};
}

QString DestinationPickerControl::segmentTitle(CreationDestinationMode mode) const {
    return QString::fromStdString(words_.fill(destinationChoice(mode).title));
}

void DestinationPickerControl::setMode(CreationDestinationMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    update();
}

QRect DestinationPickerControl::segmentRect(size_t index) const {
    const int half = width() / 2;
    return index == 0 ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
}

QPoint DestinationPickerControl::segmentCenter(CreationDestinationMode mode) const {
    const auto& choices = destinationChoices();
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].mode == mode) return segmentRect(i).center();
    return rect().center();
}

void DestinationPickerControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(separator(pal), 1));
    p.setBrush(withAlpha(pal.color(QPalette::Button), 0.9));
    p.drawRoundedRect(outer, 7, 7);

    const auto& choices = destinationChoices();
    const QFont font = appFont(12.5, QFont::Medium);
    for (size_t i = 0; i < choices.size(); ++i) {
        const QRect segment = segmentRect(i);
        const bool chosen = choices[i].mode == mode_;
        if (chosen) {
            p.setPen(Qt::NoPen);
            p.setBrush(accent(pal));
            p.drawRoundedRect(QRectF(segment).adjusted(2, 2, -2, -2), 5, 5);
        } else if (i > 0 && choices[i - 1].mode != mode_) {
            p.setPen(separator(pal));
            p.drawLine(QPointF(segment.left() + 0.5, 5), QPointF(segment.left() + 0.5, height() - 5));
        }
        const QColor textColor = chosen ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText);
        const QString title = segmentTitle(choices[i].mode);
        const QFontMetrics metrics(font);
        const int iconSide = 14;
        const int contentWidth = iconSide + 6 + metrics.horizontalAdvance(title);
        const int left = segment.left() + (segment.width() - contentWidth) / 2;
        symbolIcon(choices[i].symbolName, textColor).paint(&p, QRect(left, (height() - iconSide) / 2, iconSide, iconSide));
        p.setFont(font);
        p.setPen(textColor);
        p.drawText(QRect(left + iconSide + 6, 0, metrics.horizontalAdvance(title) + 2, height()),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
    }
    if (hasFocus()) {
        p.setPen(QPen(accent(pal), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    }
}

void DestinationPickerControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const auto& choices = destinationChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            setMode(choices[i].mode);
            emit modeChosen(choices[i].mode);
        }
    }
    event->accept();
}

void DestinationPickerControl::keyPressEvent(QKeyEvent* event) {
    const auto& choices = destinationChoices();
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const auto next = event->key() == Qt::Key_Left ? choices.front().mode : choices.back().mode;
        if (next != mode_) {
            setMode(next);
            emit modeChosen(next);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace quillet
