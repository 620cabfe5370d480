#include <gtest/gtest.h>

#include <QImage>

#include <set>

#include "app/quickcreate/SymbolIcons.h"
#include "gui/style/QtSymbolIcons.h"

using namespace quillet;

namespace {

TEST(QtSymbolIcons, EverySymbolIsDrawnAndTheDrawingsDiffer) {
    std::set<QByteArray> seen;
    for (const auto& symbol : symbolIcons()) {
        ASSERT_TRUE(hasDrawnSymbol(symbol.symbolName)) << symbol.symbolName;
        const QImage image = drawnSymbolIcon(symbol.symbolName, Qt::black).pixmap(QSize(24, 24)).toImage();
        ASSERT_EQ(image.size(), QSize(24, 24));
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(inked, 20) << symbol.symbolName;
        EXPECT_LT(inked, 24 * 24 / 2 + 100) << symbol.symbolName;
        const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        EXPECT_TRUE(seen.insert(bytes).second) << symbol.symbolName << " looks like another symbol";
    }
    EXPECT_FALSE(symbolIcon("doc.text", Qt::black).isNull());
}

}  // namespace
