#include "gui/style/MiddleElidedLabel.h"

#include <QPainter>

namespace quillet {

void MiddleElidedLabel::setFullText(const QString& text) {
    fullText_ = text;
    setText(text);
    setToolTip(text);
    update();
}

QSize MiddleElidedLabel::minimumSizeHint() const { return {10, QLabel::minimumSizeHint().height()}; }

void MiddleElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QRect area = contentsRect();
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(fullText_, Qt::ElideMiddle, area.width()));
}

}  // namespace quillet
