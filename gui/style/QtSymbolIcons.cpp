#include "gui/style/QtSymbolIcons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QMimeDatabase>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <string>

#include "app/quickcreate/SymbolIcons.h"

namespace quillet {

namespace {

// Drawings use a 24 by 24 grid and a round 1.8 wide pen; `fill` paints solid shapes and
// `cut` erases from them (drawing happens on a transparent image, so cut-outs stay transparent).
struct Canvas {
    QPainter& p;
    QColor color;

    QPen pen(double width = 1.8) const {
        QPen pen(color, width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    void stroke(const QPainterPath& path, double width = 1.8) {
        p.setPen(pen(width));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    void line(double x1, double y1, double x2, double y2, double width = 1.8) {
        p.setPen(pen(width));
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void fill(const QPainterPath& path) {
        p.setPen(pen());
        p.setBrush(color);
        p.drawPath(path);
    }
    void cut(const std::function<void()>& draw) {
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        draw();
        p.restore();
    }
};

// A page with its top right corner folded.
QPainterPath documentPath() {
    QPainterPath path;
    path.moveTo(6, 3);
    path.lineTo(14, 3);
    path.lineTo(19, 8);
    path.lineTo(19, 20);
    path.quadTo(19, 21, 18, 21);
    path.lineTo(6, 21);
    path.quadTo(5, 21, 5, 20);
    path.lineTo(5, 4);
    path.quadTo(5, 3, 6, 3);
    path.closeSubpath();
    path.moveTo(14, 3);
    path.lineTo(14, 8);
    path.lineTo(19, 8);
    return path;
}

QPainterPath roundedRect(double x, double y, double w, double h, double r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

void drawTextDocument(Canvas& c) {
    c.stroke(documentPath());
    c.line(8.5, 12, 15.5, 12, 1.5);
    c.line(8.5, 15, 15.5, 15, 1.5);
    c.line(8.5, 18, 12.5, 18, 1.5);
}

void drawRichTextDocument(Canvas& c) {
    c.stroke(documentPath());
    c.line(8.5, 11.5, 11, 11.5, 2.4);  // a heading, then body lines
    c.line(8.5, 15, 15.5, 15, 1.5);
    c.line(8.5, 18, 14, 18, 1.5);
}

void drawFilledDocument(Canvas& c, bool withLines) {
    QPainterPath page;
    page.moveTo(6, 3);
    page.lineTo(14, 3);
    page.lineTo(19, 8);
    page.lineTo(19, 20);
    page.quadTo(19, 21, 18, 21);
    page.lineTo(6, 21);
    page.quadTo(5, 21, 5, 20);
    page.lineTo(5, 4);
    page.quadTo(5, 3, 6, 3);
    page.closeSubpath();
    c.fill(page);
    c.cut([&] {
        c.line(14, 3.8, 14, 8, 1.3);
        c.line(14, 8, 18.2, 8, 1.3);
        if (withLines) {
            c.line(8.5, 12, 15.5, 12, 1.5);
            c.line(8.5, 15, 15.5, 15, 1.5);
            c.line(8.5, 18, 12.5, 18, 1.5);
        }
    });
}

void drawTable(Canvas& c, bool filled) {
    if (filled) {
        c.fill(roundedRect(3.5, 5, 17, 14, 2));
        c.cut([&] {
            c.line(3.5, 9.8, 20.5, 9.8, 1.4);
            c.line(3.5, 14.3, 20.5, 14.3, 1.4);
            c.line(9.3, 9.8, 9.3, 19, 1.4);
            c.line(14.8, 9.8, 14.8, 19, 1.4);
        });
        return;
    }
    c.stroke(roundedRect(3.5, 5, 17, 14, 2));
    c.line(3.5, 9.7, 20.5, 9.7, 1.5);
    c.line(3.5, 14.3, 20.5, 14.3, 1.5);
    c.line(9.2, 5, 9.2, 19, 1.5);
    c.line(14.8, 5, 14.8, 19, 1.5);
}

void drawCurlyBraces(Canvas& c) {
    QPainterPath left;
    left.moveTo(9, 4);
    left.cubicTo(6, 4, 7, 7.5, 7, 9.5);
    left.cubicTo(7, 11, 6, 12, 4.5, 12);
    left.cubicTo(6, 12, 7, 13, 7, 14.5);
    left.cubicTo(7, 16.5, 6, 20, 9, 20);
    c.stroke(left);
    QTransform mirror(-1, 0, 0, 1, 24, 0);
    c.stroke(mirror.map(left));
}

void drawIndentedList(Canvas& c) {
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(c.color);
    c.p.drawEllipse(QPointF(5, 6.5), 1.4, 1.4);
    c.p.drawEllipse(QPointF(9, 12), 1.4, 1.4);
    c.p.drawEllipse(QPointF(5, 17.5), 1.4, 1.4);
    c.line(8.5, 6.5, 20, 6.5);
    c.line(12.5, 12, 20, 12);
    c.line(8.5, 17.5, 20, 17.5);
}

void drawAngleBrackets(Canvas& c) {
    QPainterPath path;
    path.moveTo(7.5, 7);
    path.lineTo(2.5, 12);
    path.lineTo(7.5, 17);
    path.moveTo(16.5, 7);
    path.lineTo(21.5, 12);
    path.lineTo(16.5, 17);
    path.moveTo(13.5, 5);
    path.lineTo(10.5, 19);
    c.stroke(path);
}

void drawGlobe(Canvas& c) {
    QPainterPath path;
    path.addEllipse(QPointF(12, 12), 8.5, 8.5);
    path.addEllipse(QPointF(12, 12), 3.8, 8.5);
    path.moveTo(3.5, 12);
    path.lineTo(20.5, 12);
    c.stroke(path, 1.6);
    c.line(5, 7.5, 19, 7.5, 1.3);
    c.line(5, 16.5, 19, 16.5, 1.3);
}

void drawPaintbrush(Canvas& c) {
    c.line(20, 4, 11.5, 12.5, 2.2);  // the handle
    QPainterPath tip;                 // the bristles' loaded tip
    tip.moveTo(10.5, 13.2);
    tip.cubicTo(7, 12.5, 5.5, 15.5, 5.5, 17.5);
    tip.cubicTo(5.5, 19, 4.5, 19.8, 3.5, 20.2);
    tip.cubicTo(7.5, 21.5, 11.8, 19.5, 11.2, 14.2);
    tip.closeSubpath();
    c.fill(tip);
}

void drawScroll(Canvas& c) {
    QPainterPath path;
    path.moveTo(8, 4);
    path.lineTo(17.5, 4);
    path.cubicTo(19.5, 4, 19.5, 7.5, 17.5, 7.5);
    path.lineTo(17.5, 18);
    path.cubicTo(17.5, 20, 16, 20.5, 14.5, 20.5);
    path.lineTo(5.5, 20.5);
    path.cubicTo(3.5, 20.5, 3.5, 17, 5.5, 17);
    path.lineTo(8, 17);
    path.lineTo(8, 4);
    path.moveTo(8, 4);
    path.cubicTo(6, 4, 6, 7.5, 8, 7.5);
    path.moveTo(14.5, 20.5);
    path.cubicTo(12.5, 20.5, 12.5, 17, 14.5, 17);
    path.lineTo(8, 17);
    c.stroke(path, 1.6);
    c.line(10.5, 10.5, 15, 10.5, 1.4);
    c.line(10.5, 13.5, 15, 13.5, 1.4);
}

void drawTerminal(Canvas& c) {
    c.stroke(roundedRect(3, 4.5, 18, 15, 2.5));
    QPainterPath prompt;
    prompt.moveTo(7, 9.5);
    prompt.lineTo(10, 12);
    prompt.lineTo(7, 14.5);
    c.stroke(prompt);
    c.line(12, 15, 16.5, 15);
}

void drawSwift(Canvas& c) {
    // A swift in flight: one body curve that sweeps up into the wings and ends in a forked tail.
    QPainterPath bird;
    bird.moveTo(20.5, 17.5);
    bird.cubicTo(18, 14.5, 15.5, 9, 9, 4.5);
    bird.cubicTo(11.5, 8, 13, 10.5, 14, 13);
    bird.cubicTo(10.5, 11, 7, 8.5, 4, 5.5);
    bird.cubicTo(7.5, 10.5, 11, 14, 14, 16.2);
    bird.cubicTo(10, 18.5, 6, 18.2, 3.5, 16.5);
    bird.cubicTo(7, 20.5, 14, 21.5, 18, 18.5);
    bird.cubicTo(19.2, 18.2, 20, 18.6, 20.6, 19.5);
    bird.closeSubpath();
    c.fill(bird);
}

void drawPythonSnakes(Canvas& c) {
    // Two rounded blocks that interlock, each with an eye: the shape people know Python files by,
    // so Python never shows XML's angle brackets.
    c.stroke(roundedRect(3.5, 3.5, 11, 9.5, 3));
    c.stroke(roundedRect(9.5, 11, 11, 9.5, 3));
    QPainterPath eyes;
    eyes.addEllipse(QPointF(7, 7), 1.1, 1.1);
    eyes.addEllipse(QPointF(17, 17), 1.1, 1.1);
    c.fill(eyes);
}

void drawSlides(Canvas& c) {
    c.stroke(roundedRect(7.5, 3.5, 13, 10, 1.8));
    c.cut([&] { c.p.fillPath(roundedRect(3.5 - 0.9, 9.5 - 0.9, 13 + 1.8, 10 + 1.8, 2.4), Qt::black); });
    c.stroke(roundedRect(3.5, 9.5, 13, 10, 1.8));
}

void drawNewDocument(Canvas& c) {
    c.stroke(documentPath());
    c.cut([&] { c.p.fillPath([] {
        QPainterPath badge;
        badge.addEllipse(QPointF(17, 17), 6.2, 6.2);
        return badge;
    }(), Qt::black); });
    QPainterPath badge;
    badge.addEllipse(QPointF(17, 17), 5, 5);
    c.fill(badge);
    c.cut([&] {
        c.line(17, 14.4, 17, 19.6, 1.6);
        c.line(14.4, 17, 19.6, 17, 1.6);
    });
}

void drawDesktopComputer(Canvas& c) {
    c.stroke(roundedRect(3, 4, 18, 12.5, 2));
    c.line(12, 16.5, 12, 20);
    c.line(8, 20, 16, 20);
}

void drawFolder(Canvas& c) {
    QPainterPath path;
    path.moveTo(3, 7);
    path.quadTo(3, 5, 5, 5);
    path.lineTo(9.5, 5);
    path.lineTo(11.5, 7.5);
    path.lineTo(19, 7.5);
    path.quadTo(21, 7.5, 21, 9.5);
    path.lineTo(21, 17.5);
    path.quadTo(21, 19.5, 19, 19.5);
    path.lineTo(5, 19.5);
    path.quadTo(3, 19.5, 3, 17.5);
    path.closeSubpath();
    path.moveTo(3, 10.5);
    path.lineTo(21, 10.5);
    c.stroke(path);
}

void drawMagnifyingGlass(Canvas& c) {
    QPainterPath lens;
    lens.addEllipse(QPointF(10.5, 10.5), 6, 6);
    c.stroke(lens, 2);
    c.line(15, 15, 20, 20, 2.4);
}

// Two overlapping squares, the front one carrying a plus.
void drawPlusSquares(Canvas& c) {
    QPainterPath back;
    back.moveTo(6, 16.5);
    back.lineTo(5, 16.5);
    back.quadTo(3, 16.5, 3, 14.5);
    back.lineTo(3, 5);
    back.quadTo(3, 3, 5, 3);
    back.lineTo(14.5, 3);
    back.quadTo(16.5, 3, 16.5, 5);
    back.lineTo(16.5, 6);
    c.stroke(back);
    c.stroke(roundedRect(7.5, 7.5, 13.5, 13.5, 2));
    c.line(14.25, 11, 14.25, 17.5);
    c.line(11, 14.25, 17.5, 14.25);
}

void drawWindow(Canvas& c) {
    c.stroke(roundedRect(3, 4.5, 18, 15, 2));
    c.line(3, 8.5, 21, 8.5);
    c.line(6, 6.5, 6.1, 6.5, 1.4);
    c.line(8.5, 6.5, 8.6, 6.5, 1.4);
}

// Two arrows chasing each other round a circle.
void drawCirclingArrows(Canvas& c) {
    QPainterPath upper;
    upper.arcMoveTo(QRectF(4.5, 4.5, 15, 15), 200);
    upper.arcTo(QRectF(4.5, 4.5, 15, 15), 200, -170);
    c.stroke(upper);
    QPainterPath lower;
    lower.arcMoveTo(QRectF(4.5, 4.5, 15, 15), 20);
    lower.arcTo(QRectF(4.5, 4.5, 15, 15), 20, -170);
    c.stroke(lower);
    c.line(18.5, 8.3, 18.5, 4.6);
    c.line(18.5, 8.3, 14.8, 8.3);
    c.line(5.5, 15.7, 5.5, 19.4);
    c.line(5.5, 15.7, 9.2, 15.7);
}

void drawTrash(Canvas& c) {
    c.line(4, 6.5, 20, 6.5);
    QPainterPath handle;
    handle.moveTo(9, 6.5);
    handle.lineTo(9, 4.5);
    handle.quadTo(9, 3.5, 10, 3.5);
    handle.lineTo(14, 3.5);
    handle.quadTo(15, 3.5, 15, 4.5);
    handle.lineTo(15, 6.5);
    c.stroke(handle);
    QPainterPath can;
    can.moveTo(6, 6.5);
    can.lineTo(7, 19.5);
    can.quadTo(7.1, 20.5, 8.1, 20.5);
    can.lineTo(15.9, 20.5);
    can.quadTo(16.9, 20.5, 17, 19.5);
    can.lineTo(18, 6.5);
    c.stroke(can);
    c.line(10.5, 10, 10.5, 17, 1.5);
    c.line(13.5, 10, 13.5, 17, 1.5);
}

void drawPower(Canvas& c) {
    QPainterPath ring;
    ring.arcMoveTo(QRectF(4, 5, 16, 16), 60);
    ring.arcTo(QRectF(4, 5, 16, 16), 60, -300);
    c.stroke(ring);
    c.line(12, 3, 12, 12);
}

// A folder whose lower right corner carries a gear: where folders are set up.
void drawFolderWithGear(Canvas& c) {
    QPainterPath path;
    path.moveTo(12.5, 19.5);
    path.lineTo(5, 19.5);
    path.quadTo(3, 19.5, 3, 17.5);
    path.lineTo(3, 7);
    path.quadTo(3, 5, 5, 5);
    path.lineTo(9.5, 5);
    path.lineTo(11.5, 7.5);
    path.lineTo(19, 7.5);
    path.quadTo(21, 7.5, 21, 9.5);
    path.lineTo(21, 11.5);
    path.moveTo(3, 10.5);
    path.lineTo(13, 10.5);
    c.stroke(path);
    const QPointF centre(17.6, 17.4);
    for (int i = 0; i < 8; ++i) {
        const double angle = i * std::numbers::pi / 4;
        c.line(centre.x() + 3.2 * std::cos(angle), centre.y() + 3.2 * std::sin(angle),
               centre.x() + 4.9 * std::cos(angle), centre.y() + 4.9 * std::sin(angle), 1.9);
    }
    QPainterPath ring;
    ring.addEllipse(centre, 3.1, 3.1);
    c.stroke(ring, 1.6);
}

void drawHouse(Canvas& c) {
    QPainterPath path;
    path.moveTo(3, 11.5);
    path.lineTo(12, 3.5);
    path.lineTo(21, 11.5);
    path.moveTo(5.5, 9.5);
    path.lineTo(5.5, 19);
    path.quadTo(5.5, 20.5, 7, 20.5);
    path.lineTo(17, 20.5);
    path.quadTo(18.5, 20.5, 18.5, 19);
    path.lineTo(18.5, 9.5);
    path.moveTo(10, 20.5);
    path.lineTo(10, 15);
    path.lineTo(14, 15);
    path.lineTo(14, 20.5);
    c.stroke(path);
}

// A drive seen from the front: a flat box with a slot and a light.
void drawExternalDrive(Canvas& c) {
    c.stroke(roundedRect(2.5, 7, 19, 10.5, 2.5));
    c.line(5.5, 14, 11, 14, 1.5);
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(c.color);
    c.p.drawEllipse(QPointF(17.5, 14), 1.3, 1.3);
    c.line(5.5, 10.3, 18.5, 10.3, 1.2);
}

// A keyboard: two rows of keys over a space bar.
void drawKeyboard(Canvas& c) {
    c.stroke(roundedRect(2.5, 6, 19, 12, 2));
    for (double y : {9.5, 12.5})
        for (double x : {6.0, 9.0, 12.0, 15.0, 18.0}) c.line(x, y, x + 0.1, y, 1.7);
    c.line(8.5, 15.3, 15.5, 15.3, 1.6);
}

// A circle turning back on itself: the tip at the top points left.
void drawCounterclockwiseArrow(Canvas& c) {
    QPainterPath arc;
    arc.arcMoveTo(QRectF(4.5, 5, 15, 15), 150);
    arc.arcTo(QRectF(4.5, 5, 15, 15), 150, 300);
    c.stroke(arc);
    c.line(12, 5, 14.8, 2.4);
    c.line(12, 5, 14.8, 7.6);
}

void drawBolt(Canvas& c) {
    QPainterPath bolt;
    bolt.moveTo(14, 2.5);
    bolt.lineTo(5.5, 13.5);
    bolt.lineTo(11.2, 13.5);
    bolt.lineTo(10, 21.5);
    bolt.lineTo(18.5, 10.5);
    bolt.lineTo(12.8, 10.5);
    bolt.closeSubpath();
    c.fill(bolt);
}

void drawCircledCross(Canvas& c) {
    QPainterPath ring;
    ring.addEllipse(QPointF(12, 12), 8.5, 8.5);
    c.stroke(ring);
    c.line(9, 9, 15, 15);
    c.line(15, 9, 9, 15);
}

using Drawing = void (*)(Canvas&);

// The symbols of the main window's cards, the walkthrough and the help page.

// A jigsaw piece: a square with a knob on top and one on the right.
QPainterPath puzzlePiecePath() {
    QPainterPath piece;
    piece.moveTo(4, 8);
    piece.lineTo(9.5, 8);
    piece.cubicTo(8, 4, 14, 4, 12.5, 8);
    piece.lineTo(18, 8);
    piece.lineTo(18, 12);
    piece.cubicTo(22, 10.5, 22, 16.5, 18, 15);
    piece.lineTo(18, 20);
    piece.lineTo(4, 20);
    piece.closeSubpath();
    return piece;
}

void drawPuzzlePiece(Canvas& c, bool filled) {
    if (filled) {
        c.fill(puzzlePiecePath());
    } else {
        c.stroke(puzzlePiecePath());
    }
}

QPainterPath folderPath() {
    QPainterPath path;
    path.moveTo(3, 7);
    path.quadTo(3, 5, 5, 5);
    path.lineTo(9.5, 5);
    path.lineTo(11.5, 7.5);
    path.lineTo(19, 7.5);
    path.quadTo(21, 7.5, 21, 9.5);
    path.lineTo(21, 17.5);
    path.quadTo(21, 19.5, 19, 19.5);
    path.lineTo(5, 19.5);
    path.quadTo(3, 19.5, 3, 17.5);
    path.closeSubpath();
    return path;
}

// A folder with a round badge at its lower right, cut free of the folder's outline.
void drawBadgedFolder(Canvas& c, const std::function<void()>& badge) {
    c.stroke(folderPath());
    c.line(3, 10.5, 13, 10.5);
    c.cut([&] {
        QPainterPath hole;
        hole.addEllipse(QPointF(17.5, 17.5), 6.3, 6.3);
        c.p.fillPath(hole, Qt::black);
    });
    badge();
}

void drawFolderQuestion(Canvas& c) {
    drawBadgedFolder(c, [&] {
        QPainterPath mark;
        mark.moveTo(15.5, 15.8);
        mark.cubicTo(15.5, 13.2, 19.5, 13.2, 19.5, 15.6);
        mark.cubicTo(19.5, 17, 17.5, 17, 17.5, 18.6);
        c.stroke(mark, 1.6);
        c.line(17.5, 21, 17.5, 21.1, 1.8);
    });
}

// A window in front of another one.
void drawWindowOnRectangle(Canvas& c) {
    QPainterPath back;
    back.moveTo(7, 5.5);
    back.lineTo(7, 4.5);
    back.quadTo(7, 3, 8.5, 3);
    back.lineTo(19.5, 3);
    back.quadTo(21, 3, 21, 4.5);
    back.lineTo(21, 13);
    back.quadTo(21, 14.5, 19.5, 14.5);
    back.lineTo(18.5, 14.5);
    c.stroke(back, 1.5);
    c.stroke(roundedRect(3, 7, 15, 13, 2));
    c.line(3, 10.5, 18, 10.5, 1.5);
}

// A menu with one item highlighted and the pointer on it.
void drawMenuWithPointer(Canvas& c) {
    c.stroke(roundedRect(3, 3, 14, 16, 2));
    c.line(6, 7, 14, 7, 1.5);
    c.fill(roundedRect(5, 9.6, 10, 3.2, 1));
    c.line(6, 15.5, 12, 15.5, 1.5);
    QPainterPath arrow;
    arrow.moveTo(13.5, 11);
    arrow.lineTo(13.5, 21.5);
    arrow.lineTo(16, 19);
    arrow.lineTo(18, 22.5);
    arrow.lineTo(19.6, 21.7);
    arrow.lineTo(17.7, 18.4);
    arrow.lineTo(21, 18);
    arrow.closeSubpath();
    c.cut([&] { c.p.setPen(QPen(Qt::black, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); c.p.setBrush(Qt::black); c.p.drawPath(arrow); });
    c.fill(arrow);
}

void drawChevron(Canvas& c, bool right) {
    QPainterPath path;
    path.moveTo(right ? 9 : 15, 5);
    path.lineTo(right ? 16 : 8, 12);
    path.lineTo(right ? 9 : 15, 19);
    c.stroke(path, 2.2);
}

// A filled circle with `mark` cut out of it.
void drawCircleWithCutout(Canvas& c, const std::function<void()>& mark) {
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 9.5, 9.5);
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(c.color);
    c.p.drawPath(disc);
    c.cut(mark);
}

void drawCheckmarkCircle(Canvas& c) {
    drawCircleWithCutout(c, [&] {
        QPainterPath tick;
        tick.moveTo(7.6, 12.4);
        tick.lineTo(10.6, 15.4);
        tick.lineTo(16.4, 8.8);
        c.stroke(tick, 2.2);
    });
}

void drawInfoCircle(Canvas& c) {
    drawCircleWithCutout(c, [&] {
        c.line(12, 11, 12, 17, 2.2);
        c.line(12, 7.3, 12, 7.4, 2.6);
    });
}

void drawNumberCircle(Canvas& c, int number) {
    drawCircleWithCutout(c, [&] {
        QPainterPath digit;
        if (number == 1) {
            digit.moveTo(9.6, 9);
            digit.lineTo(12.4, 7);
            digit.lineTo(12.4, 17);
        } else {
            digit.moveTo(9, 9.5);
            digit.cubicTo(9, 6.2, 15, 6.2, 15, 9.5);
            digit.cubicTo(15, 12, 9.5, 13.5, 9, 17);
            digit.lineTo(15.2, 17);
        }
        c.stroke(digit, 2.1);
    });
}

void drawSquareGrid(Canvas& c) {
    for (double x : {4.0, 13.5})
        for (double y : {4.0, 13.5}) c.stroke(roundedRect(x, y, 6.5, 6.5, 1.6), 1.6);
}

// Two stacked rectangles with arrows trading places.
void drawSwap(Canvas& c) {
    c.stroke(roundedRect(3, 4, 12, 7, 1.6), 1.6);
    c.stroke(roundedRect(9, 13, 12, 7, 1.6), 1.6);
    QPainterPath down;
    down.moveTo(18.5, 4.5);
    down.lineTo(18.5, 9.5);
    down.moveTo(16.5, 7.8);
    down.lineTo(18.5, 9.8);
    down.lineTo(20.5, 7.8);
    c.stroke(down, 1.5);
    QPainterPath up;
    up.moveTo(5.5, 19.5);
    up.lineTo(5.5, 14.5);
    up.moveTo(3.5, 16.2);
    up.lineTo(5.5, 14.2);
    up.lineTo(7.5, 16.2);
    c.stroke(up, 1.5);
}

// A screen with a bar along its top edge.
void drawMenuBarRectangle(Canvas& c) {
    c.stroke(roundedRect(3, 4.5, 18, 15, 2));
    QPainterPath bar;
    bar.addRoundedRect(QRectF(3, 4.5, 18, 4.5), 2, 2);
    c.fill(bar);
}

void drawTextFormat(Canvas& c) {
    QPainterPath big;  // a capital A, then a small a
    big.moveTo(2.5, 19);
    big.lineTo(8, 5);
    big.lineTo(13.5, 19);
    big.moveTo(4.6, 14);
    big.lineTo(11.4, 14);
    c.stroke(big, 1.9);
    QPainterPath small;
    small.addEllipse(QPointF(17.5, 15.5), 3, 3.3);
    small.moveTo(20.5, 12);
    small.lineTo(20.5, 19);
    c.stroke(small, 1.7);
}

void drawDocument(Canvas& c) { c.stroke(documentPath()); }

const std::map<std::string, Drawing, std::less<>>& drawings() {
    static const std::map<std::string, Drawing, std::less<>> table{
        {"doc.text", drawTextDocument},
        {"doc.richtext", drawRichTextDocument},
        {"doc.richtext.fill", [](Canvas& c) { drawFilledDocument(c, true); }},
        {"tablecells", [](Canvas& c) { drawTable(c, false); }},
        {"curlybraces", drawCurlyBraces},
        {"list.bullet.indent", drawIndentedList},
        {"chevron.left.forwardslash.chevron.right", drawAngleBrackets},
        {"globe", drawGlobe},
        {"paintbrush", drawPaintbrush},
        {"scroll", drawScroll},
        {"terminal", drawTerminal},
        {"swift", drawSwift},
        {"python.snakes", drawPythonSnakes},
        {"doc.fill", [](Canvas& c) { drawFilledDocument(c, false); }},
        {"tablecells.fill", [](Canvas& c) { drawTable(c, true); }},
        {"rectangle.on.rectangle", drawSlides},
        {"doc.badge.plus", drawNewDocument},
        {"desktopcomputer", drawDesktopComputer},
        {"folder", drawFolder},
        {"magnifyingglass", drawMagnifyingGlass},
        {"plus.square.on.square", drawPlusSquares},
        {"macwindow", drawWindow},
        {"arrow.triangle.2.circlepath", drawCirclingArrows},
        {"trash", drawTrash},
        {"power", drawPower},
        {"folder.badge.gearshape", drawFolderWithGear},
        {"house", drawHouse},
        {"externaldrive", drawExternalDrive},
        {"keyboard", drawKeyboard},
        {"arrow.counterclockwise", drawCounterclockwiseArrow},
        {"bolt.fill", drawBolt},
        {"xmark.circle", drawCircledCross},
        {"chevron.left.forwardslash.chevron.right", drawAngleBrackets},
        {"puzzlepiece.extension", [](Canvas& c) { drawPuzzlePiece(c, false); }},
        {"puzzlepiece.extension.fill", [](Canvas& c) { drawPuzzlePiece(c, true); }},
        {"folder.badge.questionmark", drawFolderQuestion},
        {"macwindow.on.rectangle", drawWindowOnRectangle},
        {"filemenu.and.cursorarrow", drawMenuWithPointer},
        {"chevron.right", [](Canvas& c) { drawChevron(c, true); }},
        {"chevron.forward", [](Canvas& c) { drawChevron(c, true); }},
        {"chevron.backward", [](Canvas& c) { drawChevron(c, false); }},
        {"checkmark.circle.fill", drawCheckmarkCircle},
        {"info.circle.fill", drawInfoCircle},
        {"1.circle.fill", [](Canvas& c) { drawNumberCircle(c, 1); }},
        {"2.circle.fill", [](Canvas& c) { drawNumberCircle(c, 2); }},
        {"square.grid.2x2", drawSquareGrid},
        {"rectangle.2.swap", drawSwap},
        {"menubar.rectangle", drawMenuBarRectangle},
        {"textformat", drawTextFormat},
        {"doc", drawDocument},
    };
    return table;
}

// Draws at whatever size and device pixel ratio is asked, so icons stay sharp everywhere.
class DrawnSymbolEngine final : public QIconEngine {
public:
    DrawnSymbolEngine(Drawing drawing, QColor color) : drawing_(drawing), color_(color) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap image = render(rect.size(), ratio, mode);
        painter->drawPixmap(rect, image);
        Q_UNUSED(state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override { return render(size, 1.0, mode); }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        return render(size, scale, mode);
    }
    QIconEngine* clone() const override { return new DrawnSymbolEngine(drawing_, color_); }
    QString key() const override { return QStringLiteral("quillet.drawnSymbol"); }

private:
    QPixmap render(const QSize& size, qreal ratio, QIcon::Mode mode) const {
        const QSize pixels = size * ratio;
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (pixels.isEmpty()) return QPixmap::fromImage(image);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal side = std::min(pixels.width(), pixels.height());
        p.translate((pixels.width() - side) / 2.0, (pixels.height() - side) / 2.0);
        p.scale(side / 24.0, side / 24.0);
        QColor color = color_;
        if (mode == QIcon::Disabled) color.setAlphaF(color.alphaF() * 0.4);
        Canvas canvas{p, color};
        drawing_(canvas);
        p.end();
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(ratio);
        return pixmap;
    }

    Drawing drawing_;
    QColor color_;
};

}  // namespace

bool hasDrawnSymbol(std::string_view symbolName) { return drawings().count(symbolName) > 0; }

QIcon drawnSymbolIcon(std::string_view symbolName, const QColor& color) {
    auto it = drawings().find(symbolName);
    if (it == drawings().end()) return QIcon();
    return QIcon(new DrawnSymbolEngine(it->second, color));
}

QIcon fileTypeIcon(const FileTypeDefinition& type, const QColor& color) {
    // The icon the file manager shows for such a file: the theme's image of the MIME type, else
    // of its generic kind. A type the MIME database does not know gets our drawing.
    static const QMimeDatabase database;
    const QMimeType mime = database.mimeTypeForFile(QStringLiteral("x.") + QString::fromStdString(type.fileExtension),
                                                    QMimeDatabase::MatchExtension);
    if (mime.isValid() && !mime.isDefault()) {
        const QIcon themed = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
        if (!themed.isNull()) return themed;
    }
    // XML and Python share a symbol in the catalog; drawn, Python gets its own.
    if (type.id == "py") return drawnSymbolIcon("python.snakes", color);
    return drawnSymbolIcon(type.sfSymbolName, color);
}

QIcon symbolIcon(std::string_view symbolName, const QColor& color) {
    QIcon drawn = drawnSymbolIcon(symbolName, color);
    if (auto theme = themeIconName(symbolName)) {
        const QString name = QString::fromUtf8(theme->data(), static_cast<qsizetype>(theme->size()));
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name, drawn);
    }
    return drawn;
}

}  // namespace quillet
