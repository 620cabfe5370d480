#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <QUrl>

#include <memory>

#include "shared/logging/Logger.h"
#include "platform/linux/DBusFileViewer.h"
#include "platform/linux/QtURLOpener.h"
#include "tests/support/PrivateSessionBus.h"

using namespace quillet;

namespace {

// Receives what QDesktopServices would have handed to the desktop for one scheme.
class OpenedURLs : public QObject {
    Q_OBJECT
public:
    explicit OpenedURLs(QString scheme) : scheme_(std::move(scheme)) {
        QDesktopServices::setUrlHandler(scheme_, this, "open");
    }
    ~OpenedURLs() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QStringList urls;

public slots:
    void open(const QUrl& url) { urls << QString::fromLatin1(url.toEncoded()); }

private:
    QString scheme_;
};

// Stands in for the file manager on a private bus: answers ShowItems and remembers the calls.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shownItems;
    QStringList startupIDs;

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        shownItems << uris;
        startupIDs << startupId;
    }
};

}  // namespace

TEST(QtURLOpener, HandsEncodedURLsToTheDesktop) {
    OpenedURLs opened(QStringLiteral("quillet-test"));
    QtURLOpener opener;
    EXPECT_TRUE(opener.openWithoutActivating("quillet-test://host/a%20b?c=%2B"));
    EXPECT_EQ(opened.urls, QStringList{"quillet-test://host/a%20b?c=%2B"});
    EXPECT_FALSE(opener.openWithoutActivating("no url at all"));
    EXPECT_FALSE(opener.openWithoutActivating("/relative/path"));
    EXPECT_EQ(opened.urls.size(), 1);
}

TEST(DBusFileViewer, FileURIsKeepEveryByteOfThePath) {
    EXPECT_EQ(fileURI("/tmp/My Notes/Caf\xC3\xA9 #1+%.txt"),
              "file:///tmp/My%20Notes/Caf%C3%A9%20%231%2B%25.txt");
    EXPECT_EQ(fileURI("/odd/\xFF"), "file:///odd/%FF");
}

class DBusFileViewerOnPrivateBus : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.isRunning()) << "dbus-daemon did not start"; }

    test::PrivateSessionBus bus;
    OpenedURLs openedFolders{QStringLiteral("file")};
    QtURLOpener opener;
};

TEST_F(DBusFileViewerOnPrivateBus, AsksTheFileManagerToShowTheFile) {
    QDBusConnection fileManagerSide = bus.connect(QStringLiteral("file-manager"));
    FakeFileManager fileManager;
    ASSERT_TRUE(fileManagerSide.registerObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                               &fileManager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(fileManagerSide.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    DBusFileViewer viewer(bus.connect(QStringLiteral("application")), opener);
    viewer.activateFileViewerSelecting({"/tmp/My Notes/Untitled \xC3\xA9.txt"});

    ASSERT_TRUE(QTest::qWaitFor([&] { return !fileManager.shownItems.isEmpty(); }, 5000));
    EXPECT_EQ(fileManager.shownItems,
              QList<QStringList>{{"file:///tmp/My%20Notes/Untitled%20%C3%A9.txt"}});
    EXPECT_EQ(fileManager.startupIDs, QStringList{""});
    QTest::qWait(100);
    EXPECT_TRUE(openedFolders.urls.isEmpty()) << "the folder was opened although ShowItems worked";
}

TEST_F(DBusFileViewerOnPrivateBus, OpensTheContainingFolderWhenNoFileManagerAnswers) {
    DBusFileViewer viewer(bus.connect(QStringLiteral("application-alone")), opener);
    viewer.activateFileViewerSelecting({"/tmp/My Notes/Untitled.txt", "/tmp/My Notes/Untitled 2.txt"});

    ASSERT_TRUE(QTest::qWaitFor([&] { return !openedFolders.urls.isEmpty(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(openedFolders.urls, QStringList{"file:///tmp/My%20Notes"});
}

TEST_F(DBusFileViewerOnPrivateBus, WithoutASessionBusNothingHappens) {
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    QDBusConnection noBus = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                          QStringLiteral("no-bus"));
    ASSERT_FALSE(noBus.isConnected());
    {
        DBusFileViewer viewer(noBus, opener);
        viewer.activateFileViewerSelecting({"/tmp/Untitled.txt"});
        QTest::qWait(100);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
    EXPECT_TRUE(openedFolders.urls.isEmpty());
    EXPECT_TRUE(sink->records().empty());
}

#include "DesktopServicesAdapterTest.moc"
