#include "platform/linux/QtApplicationIcon.h"

#include <QString>

#include <string>
#include <system_error>

#include "shared/Identifiers.h"

namespace quillet {

QIcon applicationIcon(const std::filesystem::path& resourceDirectory) {
    const QString name = QString::fromUtf8(kBundleIdentifier);
    if (QIcon::hasThemeIcon(name)) {
        QIcon themed = QIcon::fromTheme(name);
        if (!themed.pixmap(48, 48).isNull()) return themed;
    }
    QIcon bundled;
    const auto hicolor = resourceDirectory.parent_path() / "icons" / "hicolor";
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const auto file = hicolor / (std::to_string(size) + "x" + std::to_string(size)) / "apps" /
                          (std::string(kBundleIdentifier) + ".png");
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error)) bundled.addFile(QString::fromStdString(file.string()), QSize(size, size));
    }
    return bundled;
}

}  // namespace quillet
