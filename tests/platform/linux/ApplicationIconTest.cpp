#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "platform/linux/QtApplicationIcon.h"
#include "shared/Identifiers.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using quillet::test::TemporaryFolder;

namespace {

// Writes the render of one size, in a colour of its own, where the program's icons lie.
void writeRender(const std::filesystem::path& share, int size, Qt::GlobalColor color) {
    const auto folder = share / "icons" / "hicolor" / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::filesystem::create_directories(folder);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(QString::fromStdString((folder / (std::string(kBundleIdentifier) + ".png")).string())));
}

QColor centre(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

TEST(ApplicationIcon, DrawsEachSizeFromTheNearestRenderNoSmallerThanAsked) {
    TemporaryFolder folder;
    const auto share = folder.path() / "share";
    writeRender(share, 16, Qt::red);
    writeRender(share, 128, Qt::blue);
    writeRender(share, 256, Qt::green);
    const QIcon icon = applicationIcon(share / "quillet");

    ASSERT_FALSE(icon.isNull());
    // What a window property carries: the renders up to 128 px.
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(128, 128)}));
    const QPixmap small = icon.pixmap(16, 16);
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(centre(small), QColor(Qt::red));
    // Between renders, the larger one scaled down; beyond the largest, the largest.
    const QPixmap medium = icon.pixmap(48, 48);
    EXPECT_EQ(medium.size(), QSize(48, 48));
    EXPECT_EQ(centre(medium), QColor(Qt::blue));
    EXPECT_EQ(centre(icon.pixmap(200, 200)), QColor(Qt::green));
    EXPECT_EQ(icon.pixmap(512, 512).size(), QSize(512, 512));
}

TEST(ApplicationIcon, WithoutRendersOrThemeIconThereIsNone) {
    TemporaryFolder folder;
    const QIcon icon = applicationIcon(folder.path() / "share" / "quillet");
    EXPECT_TRUE(icon.isNull());
    EXPECT_TRUE(icon.pixmap(48, 48).isNull());
}
