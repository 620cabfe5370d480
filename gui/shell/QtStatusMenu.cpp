#include "gui/shell/QtStatusMenu.h"

#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

#include <algorithm>
#include <functional>
#include <optional>

#include "app/presence/FileCreationMenuAction.h"
#include "gui/style/QtSymbolIcons.h"

namespace quillet {

namespace {

// An icon looked up when the menu first draws it. The tray menu is built at launch and again
// whenever what it offers changes, but drawn only when opened: the MIME database and the icon
// theme behind its icons (some 0.7 MB, and the time to read them) wait until then.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> find) : find_(std::move(find)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!icon_) icon_ = find_();
        return *icon_;
    }

    std::function<QIcon()> find_;
    std::optional<QIcon> icon_;
};

QIcon iconFor(const StatusMenuItem& item, const QColor& color) {
    // A file type's item shows the icon the file manager shows for such a file.
    if (const auto* creation = std::any_cast<FileCreationMenuAction>(&item.representedObject))
        return QIcon(new DeferredIconEngine([type = creation->type, color] { return fileTypeIcon(type, color); }));
    if (item.symbolName.empty()) return QIcon();
    return QIcon(new DeferredIconEngine([name = item.symbolName, color] { return symbolIcon(name, color); }));
}

QString text(const std::string& value) { return QString::fromStdString(value); }

}  // namespace

void renderStatusMenu(QMenu& menu, const StatusMenu& items) {
    const QColor color = menu.palette().color(QPalette::WindowText);
    for (const auto& item : items) {
        switch (item.kind) {
            case StatusMenuItem::Kind::separator: menu.addSeparator(); break;
            case StatusMenuItem::Kind::header: {
                QAction* header = menu.addAction(text(item.title));
                header->setEnabled(false);
                break;
            }
            case StatusMenuItem::Kind::submenu: {
                QMenu* submenu = menu.addMenu(iconFor(item, color), text(item.title));
                submenu->setTitle(text(item.title));
                submenu->menuAction()->setEnabled(item.isEnabled);
                renderStatusMenu(*submenu, item.submenu);
                break;
            }
            case StatusMenuItem::Kind::action: {
                QAction* action = menu.addAction(iconFor(item, color), text(item.title));
                action->setEnabled(item.isEnabled);
                action->setIconVisibleInMenu(true);
                if (!item.accessibilityDescription.empty())
                    action->setStatusTip(text(item.accessibilityDescription));
                if (item.action)
                    QObject::connect(action, &QAction::triggered, action, [run = item.action] { run(); });
                break;
            }
        }
    }
}

void drawTrayImage(QPainter& painter, const QRectF& rect, const QColor& color) {
    const double s = std::min(rect.width() / 22.0, rect.height() / 18.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The design's y grows upward from the bottom of the centred 22 by 18 box.
    painter.translate(rect.center().x() - 11 * s, rect.center().y() + 9 * s);
    painter.scale(1, -1);
    painter.setPen(Qt::NoPen);

    QPainterPath back;
    back.addRoundedRect(QRectF(4.9 * s, 3.4 * s, 12.6 * s, 13.4 * s), 2.7 * s, 2.7 * s);
    QColor backColor = color;
    backColor.setAlpha(128);
    painter.fillPath(back, backColor);

    const QRectF front(7.0 * s, 1.0 * s, 12.8 * s, 15.9 * s);
    QPainterPath frontPath;
    frontPath.addRoundedRect(front, 2.8 * s, 2.8 * s);
    painter.fillPath(frontPath, color);

    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    // In these coordinates bottom() is the largest y: the top edge of the page.
    QPainterPath corner;
    corner.moveTo(front.right() - 5.1 * s, front.bottom());
    corner.lineTo(front.right(), front.bottom() - 5.1 * s);
    corner.lineTo(front.right(), front.bottom());
    corner.closeSubpath();
    painter.fillPath(corner, Qt::black);
    QPen textLine(Qt::black, 1.55 * s, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(textLine);
    for (double y : {front.center().y() + 0.9 * s, front.center().y() - 2 * s})
        painter.drawLine(QPointF(front.left() + 3.1 * s, y), QPointF(front.left() + 3.1 * s + 5.3 * s, y));

    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    const QRectF disc(1.4 * s, 0.8 * s, 10.5 * s, 10.5 * s);
    painter.setBrush(color);
    painter.drawEllipse(disc);

    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::black, 2.45 * s, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = disc.center();
    painter.drawLine(QPointF(c.x() - 2.7 * s, c.y()), QPointF(c.x() + 2.7 * s, c.y()));
    painter.drawLine(QPointF(c.x(), c.y() - 2.7 * s), QPointF(c.x(), c.y() + 2.7 * s));
    painter.restore();
}

QColor trayImageColor(const QPalette& palette) { return palette.color(QPalette::Active, QPalette::WindowText); }

QIcon trayImageIcon(const QColor& color) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QImage image(22 * scale, 18 * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        drawTrayImage(painter, QRectF(0, 0, image.width(), image.height()), color);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace quillet
