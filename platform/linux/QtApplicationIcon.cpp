#include "platform/linux/QtApplicationIcon.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <system_error>

#include "shared/Identifiers.h"

namespace quillet {

namespace {

// The icon, looked up and read only when a size of it is asked for, and not kept: read at once
// (as QIcon::addFile does) the nine renders held 1.4 MB, and two conversion threads, for as long
// as the program ran, mostly without a window to show them on.
class ApplicationIconEngine final : public QIconEngine {
public:
    explicit ApplicationIconEngine(std::map<int, QString> files) : files_(std::move(files)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (const QIcon* themed = themedIcon()) return themed->pixmap(size, mode, state);
        if (files_.empty() || size.isEmpty()) return {};
        // The smallest render no smaller than asked, else the largest, scaled to fit.
        const int wanted = std::max(size.width(), size.height());
        auto file = files_.lower_bound(wanted);
        if (file == files_.end()) file = std::prev(file);
        QImageReader reader(file->second, "png");
        if (file->first != wanted) reader.setScaledSize(QSize(wanted, wanted).scaled(size, Qt::KeepAspectRatio));
        return QPixmap::fromImage(reader.read());
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const QPixmap drawn = pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state);
        if (!drawn.isNull()) painter->drawPixmap(rect, drawn);
    }

    // The renders a window property carries: up to 128 px, what taskbars and switchers draw.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        if (const QIcon* themed = themedIcon()) return themed->availableSizes(mode, state);
        QList<QSize> sizes;
        for (const auto& [size, file] : files_)
            if (size <= 128) sizes.append(QSize(size, size));
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    bool isNull() override { return files_.empty() && !themedIcon(); }
    QString key() const override { return QStringLiteral("quillet-application"); }
    QIconEngine* clone() const override { return new ApplicationIconEngine(files_); }

private:
    // The desktop's icon theme comes first, as the desktop entry names the icon.
    const QIcon* themedIcon() {
        if (!themed_) {
            const QString name = QString::fromUtf8(kBundleIdentifier);
            QIcon found;
            if (QIcon::hasThemeIcon(name)) found = QIcon::fromTheme(name);
            themed_ = !found.isNull() && !found.pixmap(48, 48).isNull() ? found : QIcon();
        }
        return themed_->isNull() ? nullptr : &*themed_;
    }

    std::map<int, QString> files_;  // by size in pixels
    std::optional<QIcon> themed_;
};

}  // namespace

QIcon applicationIcon(const std::filesystem::path& resourceDirectory) {
    std::map<int, QString> files;
    const auto hicolor = resourceDirectory.parent_path() / "icons" / "hicolor";
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const auto file = hicolor / (std::to_string(size) + "x" + std::to_string(size)) / "apps" /
                          (std::string(kBundleIdentifier) + ".png");
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error)) files.emplace(size, QString::fromStdString(file.string()));
    }
    return QIcon(new ApplicationIconEngine(std::move(files)));
}

}  // namespace quillet
