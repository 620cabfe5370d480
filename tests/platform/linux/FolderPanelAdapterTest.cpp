#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "app/access/SecurityScopedFolderAccess.h"
#include "platform/linux/QtApplicationWindows.h"
#include "platform/linux/QtFolderPanel.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

// Runs the panel; while it is up, hands the dialog to `answer`. A dialog still open after ten
// seconds is rejected, so a broken seam fails instead of hanging.
FolderPanelResult runAndAnswer(const FolderPanelConfiguration& configuration,
                               std::function<void(QFileDialog&)> answer) {
    bool seen = false;
    std::function<void()> poll = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(20, poll);
            return;
        }
        seen = true;
        answer(*dialog);
    };
    QTimer::singleShot(0, poll);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(10000);
    QtFolderPanel panel;
    FolderPanelResult result = panel.runModal(configuration);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(guard.isActive()) << "the panel was not answered";
    return result;
}

// Waits until the dialog's model has listed the folder, so names can be selected.
void waitForListing(QFileDialog& dialog, const fs::path& folder) {
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    auto* model = qobject_cast<QFileSystemModel*>(view->model());
    ASSERT_NE(model, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(q(folder))) > 0; }, 5000));
}

QPushButton* acceptButton(QFileDialog& dialog) {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    return box ? box->button(QDialogButtonBox::Open) : nullptr;
}

}  // namespace

TEST(QtFolderPanel, ShowsTheAccessPromptAsConfigured) {
    TemporaryFolder home;
    fs::create_directory(home / "Dropbox");
    const auto configuration = SecurityScopedFolderAccess::makeAccessPanel(
        "Allow Folder Access", "Grant access to Dropbox so Quillet+ can create files in it and all its subfolders.",
        home.path(), false);
    QFileDialog dialog;
    QtFolderPanel::configure(dialog, configuration);

    EXPECT_EQ(dialog.windowTitle(), "Allow Folder Access");
    EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "Allow Access");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
    EXPECT_TRUE(dialog.testOption(QFileDialog::ReadOnly)) << "no folder may be created";
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontResolveSymlinks));
    EXPECT_EQ(dialog.directory().absolutePath(), q(home.path()));
    auto* message = dialog.findChild<QLabel*>(QtFolderPanel::kMessageLabelName);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), QString::fromStdString(configuration.message));
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    auto* newFolder = dialog.findChild<QAbstractButton*>(QStringLiteral("newFolderButton"));
    ASSERT_NE(newFolder, nullptr);
    EXPECT_FALSE(newFolder->isEnabled());
    for (const char* name : {"listView", "treeView"}) {
        auto* view = dialog.findChild<QAbstractItemView*>(QLatin1String(name));
        ASSERT_NE(view, nullptr) << name;
        EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection) << name;
    }
}

TEST(QtFolderPanel, ConfirmingAFolderReturnsIt) {
    TemporaryFolder home;
    fs::create_directory(home / "Dropbox");
    const auto configuration =
        SecurityScopedFolderAccess::makeAccessPanel("Allow Folder Access", "Choose Dropbox.", home.path(), false);
    const FolderPanelResult result = runAndAnswer(configuration, [&](QFileDialog& dialog) {
        EXPECT_TRUE(dialog.isModal());
        waitForListing(dialog, home.path());
        // As a click on the folder in the list would.
        auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
        auto* model = qobject_cast<QFileSystemModel*>(view->model());
        view->selectionModel()->select(model->index(q(home / "Dropbox")),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QPushButton* accept = acceptButton(dialog);
        ASSERT_NE(accept, nullptr);
        EXPECT_EQ(accept->text(), "Allow Access");
        QTest::mouseClick(accept, Qt::LeftButton);
    });
    EXPECT_TRUE(result.confirmed);
    EXPECT_EQ(result.urls, std::vector<fs::path>{home / "Dropbox"});
}

TEST(QtFolderPanel, CancellingReturnsNothing) {
    TemporaryFolder home;
    const auto configuration = SecurityScopedFolderAccess::makeAccessPanel("Allow Folder Access", "", home.path(), false);
    const FolderPanelResult result = runAndAnswer(configuration, [](QFileDialog& dialog) {
        // An empty message adds no header.
        EXPECT_EQ(dialog.findChild<QLabel*>(QtFolderPanel::kMessageLabelName), nullptr);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(result.confirmed);
    EXPECT_TRUE(result.urls.empty());
}

TEST(QtFolderPanel, SeveralFoldersWhenMultipleSelectionIsAllowed) {
    TemporaryFolder home;
    for (const char* name : {"A", "B", "C"}) fs::create_directory(home / name);
    const auto configuration = SecurityScopedFolderAccess::makeAccessPanel("Add Folders", "", home.path(), true);
    const FolderPanelResult result = runAndAnswer(configuration, [&](QFileDialog& dialog) {
        waitForListing(dialog, home.path());
        auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
        auto* model = qobject_cast<QFileSystemModel*>(view->model());
        for (const char* name : {"A", "C"})
            view->selectionModel()->select(model->index(q(home / name)),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::mouseClick(acceptButton(dialog), Qt::LeftButton);
    });
    EXPECT_TRUE(result.confirmed);
    auto urls = result.urls;
    std::sort(urls.begin(), urls.end());
    EXPECT_EQ(urls, (std::vector<fs::path>{home / "A", home / "C"}));
}

TEST(QtApplicationWindows, OffersVisibleWindowsWithTitleAndPanelKind) {
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    QWidget main;
    main.setWindowTitle("Quillet+");
    QWidget panel(nullptr, Qt::Tool);
    panel.setWindowTitle("Quillet+");
    QWidget help;
    help.setWindowTitle("Quillet+ Help");
    QWidget hidden;
    hidden.setWindowTitle("Quillet+");
    for (QWidget* w : {&main, &panel, &help}) w->show();

    std::vector<WindowDescription> offered;
    QtApplicationWindows windows;
    windows.closeWindows([&](const WindowDescription& window) {
        offered.push_back(window);
        return !window.isPanel && window.title == "Quillet+";
    });
    std::sort(offered.begin(), offered.end(),
              [](const auto& a, const auto& b) { return std::tie(a.title, a.isPanel) < std::tie(b.title, b.isPanel); });
    EXPECT_EQ(offered, (std::vector<WindowDescription>{{"Quillet+", false}, {"Quillet+", true}, {"Quillet+ Help", false}}));
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(help.isVisible());
}
