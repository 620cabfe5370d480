#include "platform/linux/DBusFileViewer.h"

#include <algorithm>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QUrl>

#include "shared/paths/FilePaths.h"
#include "platform/URLOpener.h"
#include "platform/posix/LaunchingDolphinViewer.h"

namespace quillet {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString kInterface = QStringLiteral("org.freedesktop.FileManager1");

}  // namespace

QString fileURI(const std::filesystem::path& path) {
    // The same escaping as the launcher's, which has no Qt.
    return QString::fromStdString(fileURIForPath(path));
}

DBusFileViewer::DBusFileViewer(QDBusConnection bus, URLOpener& folderOpener, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), folderOpener_(folderOpener) {}

void DBusFileViewer::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
    if (files.empty() || !bus_.isConnected()) return;

    QStringList uris;
    for (const auto& file : files)
        if (file.is_absolute()) uris << fileURI(file);
    if (uris.isEmpty()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("ShowItems"));
    call << uris << QString();

    // Asynchronous: starting the file manager through bus activation can take seconds, and
    // the application's windows must keep responding meanwhile.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMilliseconds), this);
    ++pendingReveals_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, files](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                --pendingReveals_;
                if (finished->isError()) openContainingFolders(files);
            });
}

void DBusFileViewer::openContainingFolders(const std::vector<std::filesystem::path>& files) {
    std::vector<std::filesystem::path> opened;
    for (const auto& file : files) {
        if (!file.is_absolute()) continue;
        std::filesystem::path folder = standardizedPath(file).parent_path();
        if (folder.empty()) continue;
        if (std::find(opened.begin(), opened.end(), folder) != opened.end()) continue;
        opened.push_back(folder);
        folderOpener_.openWithoutActivating(fileURI(folder).toStdString());
    }
}

}  // namespace quillet
