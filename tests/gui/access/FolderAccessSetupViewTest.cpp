#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/access/FolderAccessSetupModel.h"
#include "gui/access/FolderAccessSetupView.h"
#include "gui/style/MiddleElidedLabel.h"
#include "tests/support/GrantStoreFixture.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

// The card on the real grant store of a private suite; its panels are answered by the scripted
// folder panel behind the store.
class FolderAccessSetupViewTest : public ::testing::Test, protected GrantStoreFixture {
protected:
    fs::path folder(const std::string& relative) {
        fs::path p = root.path() / relative;
        fs::create_directories(p);
        return p;
    }
    FolderAccessLocations locations() const {
        FolderAccessLocations l;
        l.realHome = me;
        l.volumeMountFolders = {root / "media"};
        l.providerMountsFolder = root / "gvfs";
        return l;
    }
    void show() {
        view.resize(640, 240);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QPushButton* button(const QString& title) const {
        for (auto* b : view.buttons())
            if (b->text() == title) return b;
        return nullptr;
    }
    QString text(const char* name) const {
        auto* label = view.findChild<QLabel*>(QString::fromUtf8(name));
        return label ? label->text() : QStringLiteral("(no %1)").arg(QString::fromUtf8(name));
    }
    bool visible(const char* name) const {
        auto* widget = view.findChild<QWidget*>(QString::fromUtf8(name));
        return widget && widget->isVisible();
    }
    QStringList cellNames() const {
        QStringList names;
        for (auto* cell : view.findChildren<QWidget*>(QStringLiteral("folderCell")))
            names << cell->findChild<MiddleElidedLabel*>(QStringLiteral("folderName"))->fullText();
        return names;
    }
    QStringList cellSymbols() const {
        QStringList symbols;
        for (auto* cell : view.findChildren<QWidget*>(QStringLiteral("folderCell")))
            symbols << cell->findChild<QLabel*>(QStringLiteral("folderSymbol"))->property("symbolName").toString();
        return symbols;
    }

    TemporaryFolder root;
    fs::path me = folder("me");
    FolderAccessSetupModel model{access, names, locations(), true};
    FolderAccessSetupView view{model};
};

}  // namespace

TEST_F(FolderAccessSetupViewTest, WithoutSavedRootsOnlyTheHeaderShows) {
    show();
    EXPECT_EQ(text("title"), "Folder Access");
    EXPECT_EQ(text("summary"), "No saved folder roots.");
    EXPECT_FALSE(visible("folderGrid"));
    EXPECT_FALSE(visible("statusMessage"));
    QStringList titles;
    int previousBottom = -1;
    for (auto* b : view.buttons()) {
        titles << b->text();
        EXPECT_TRUE(b->isVisible());
        EXPECT_GT(b->geometry().top(), previousBottom);  // a column, top to bottom
        previousBottom = b->geometry().bottom();
        // Right-aligned inside the card's padding.
        EXPECT_EQ(b->geometry().right(), view.width() - 1 - FolderAccessSetupView::kPadding);
    }
    EXPECT_EQ(titles, (QStringList{"Grant Home Folder...", "Add Other Folders...", "Add Cloud Folders...",
                                   "Add External Volumes..."}));
}

TEST_F(FolderAccessSetupViewTest, GrantingHomeThroughThePanelAndForgettingIt) {
    show();
    panel.enqueueChoice(me);
    QTest::mouseClick(button("Grant Home Folder..."), Qt::LeftButton);
    ASSERT_EQ(panel.shown().size(), 1u);
    EXPECT_EQ(panel.shown()[0].title, "Allow Home Folder Access");
    EXPECT_EQ(text("statusMessage"), "Saved access to Home.");
    EXPECT_TRUE(visible("statusMessage"));
    EXPECT_EQ(text("summary"), "1 saved folder root.");
    EXPECT_TRUE(visible("folderGrid"));
    EXPECT_EQ(cellNames(), (QStringList{"Home"}));
    EXPECT_EQ(cellSymbols(), (QStringList{"house"}));

    const auto forget = view.forgetButtons();
    ASSERT_EQ(forget.size(), 1u);
    EXPECT_EQ(forget[0]->toolTip(), "Forget Access");
    EXPECT_TRUE(forget[0]->text().isEmpty() || forget[0]->toolButtonStyle() == Qt::ToolButtonIconOnly);
    QTest::mouseClick(forget[0], Qt::LeftButton);
    EXPECT_EQ(text("statusMessage"), "Removed access to Home.");
    EXPECT_EQ(text("summary"), "No saved folder roots.");
    EXPECT_FALSE(visible("folderGrid"));
    EXPECT_TRUE(access.savedFolderRoots().empty());
    QTest::qWait(0);  // the removed cell goes once control returns
    EXPECT_TRUE(cellNames().isEmpty());
}

TEST_F(FolderAccessSetupViewTest, TheCloudButtonSavesEveryFolderGrantedOnTheWay) {
    show();
    folder("me/Dropbox");
    const fs::path drive = folder("gvfs/google-drive:host=example.com,user=me");
    const fs::path dav = folder("gvfs/dav:host=cloud.example.com");
    folder("me/Google Drive");
    panel.enqueueCancel();
    panel.enqueue({true, {drive, dav}});
    panel.enqueue({true, {}});
    QTest::mouseClick(button("Add Cloud Folders..."), Qt::LeftButton);
    EXPECT_EQ(text("statusMessage"), "Saved access to 3 folder roots.");
    EXPECT_EQ(text("summary"), "3 saved folder roots.");
    EXPECT_EQ(cellNames().size(), 3);

    // Three roots fill one row of three columns, each at least 170 wide.
    const auto cells = view.findChildren<QWidget*>(QStringLiteral("folderCell"));
    ASSERT_EQ(cells.size(), 3);
    std::set<int> tops;
    for (auto* cell : cells) tops.insert(cell->geometry().top());
    EXPECT_EQ(tops.size(), 1u);
    auto* grid = view.findChild<QWidget*>(QStringLiteral("folderGrid"));
    EXPECT_GE(grid->width(), 3 * FolderAccessSetupView::kMinimumColumnWidth + 2 * 8);
}

TEST_F(FolderAccessSetupViewTest, RootsSavedElsewhereShowWhenTheCardAppears) {
    const fs::path usb = folder("media/USB");
    access.saveBookmark(usb, usb);
    access.saveBookmark(me, me);
    EXPECT_EQ(text("summary"), "No saved folder roots.");  // not shown yet, not read yet
    show();
    EXPECT_EQ(text("summary"), "2 saved folder roots.");
    EXPECT_FALSE(visible("statusMessage"));
    EXPECT_EQ(cellNames(), (QStringList{"Home", "USB"}));
    EXPECT_EQ(cellSymbols(), (QStringList{"house", "externaldrive"}));

    // A cancelled panel says so and leaves the list as it was.
    panel.enqueueCancel();
    QTest::mouseClick(button("Add External Volumes..."), Qt::LeftButton);
    EXPECT_EQ(text("statusMessage"), "Quillet+ needs access to media before it can create files there.");
    EXPECT_EQ(cellNames(), (QStringList{"Home", "USB"}));
}

// Outside a sandbox Quillet+ writes wherever the account may: the card says so and offers no
// grant, while folders saved by a sandboxed run can still be forgotten.
TEST_F(FolderAccessSetupViewTest, UnsandboxedTheCardOffersNoGrants) {
    FolderAccessSetupModel unsandboxed{access, names, locations(), false};
    FolderAccessSetupView card{unsandboxed};
    card.resize(640, 240);
    card.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&card));
    EXPECT_TRUE(card.buttons().empty());
    EXPECT_TRUE(card.findChildren<QPushButton*>().isEmpty());
    EXPECT_EQ(card.findChild<QLabel*>(QStringLiteral("summary"))->text(),
              "Quillet+ creates files wherever your account may write. No folder needs to be granted.");

    panel.enqueueChoice(me);
    model.perform(FolderAccessSetupModel::Action::grantHomeFolder);  // saved earlier, in a sandbox
    unsandboxed.reload();
    EXPECT_EQ(card.findChild<QLabel*>(QStringLiteral("summary"))->text(), "1 saved folder root.");
    ASSERT_EQ(card.forgetButtons().size(), 1u);
    QTest::mouseClick(card.forgetButtons().front(), Qt::LeftButton);
    EXPECT_TRUE(access.savedFolderRoots().empty());
}
