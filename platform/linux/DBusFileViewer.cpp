#include "platform/linux/DBusFileViewer.h"

#include <algorithm>
#include <memory>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QUrl>

#include "shared/paths/FilePaths.h"
#include "platform/URLOpener.h"
#include "platform/posix/LaunchingFileManagerViewer.h"

namespace quillet {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString kInterface = QStringLiteral("org.freedesktop.FileManager1");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kBusInterface = QStringLiteral("org.freedesktop.DBus");
// The bus itself answers at once; a longer wait would only delay the fallback.
constexpr int kBusCallTimeoutMilliseconds = 2000;

}  // namespace

QString fileURI(const std::filesystem::path& path) {
    // The same escaping as the launcher's, which has no Qt.
    return QString::fromStdString(fileURIForPath(path));
}

DBusFileViewer::DBusFileViewer(QDBusConnection bus, URLOpener& folderOpener, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), folderOpener_(folderOpener) {}

void DBusFileViewer::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
    showItems(kService, files, [this, files] { openContainingFolders(files); });
}

void DBusFileViewer::showInRequestingFileManager(const std::vector<std::filesystem::path>& files,
                                                 std::int64_t requester) {
    if (files.empty() || !bus_.isConnected()) return;
    if (requester <= 0) {
        activateFileViewerSelecting(files);
        return;
    }
    QDBusMessage list = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusInterface, QStringLiteral("ListNames"));
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(list, kBusCallTimeoutMilliseconds), this);
    ++pendingReveals_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, files, requester](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                --pendingReveals_;
                const QDBusMessage reply = finished->reply();
                QStringList names;
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                    names = reply.arguments().constFirst().toStringList();
                // Unique names (":1.42") belong to every process; a file manager also holds a
                // well-known one, which is all that needs asking.
                names.erase(std::remove_if(names.begin(), names.end(),
                                           [](const QString& name) { return name.startsWith(u':'); }),
                            names.end());
                showInNameOf(names, files, requester);
            });
}

void DBusFileViewer::showInNameOf(const QStringList& names, const std::vector<std::filesystem::path>& files,
                                  std::int64_t requester) {
    if (names.isEmpty()) {
        activateFileViewerSelecting(files);
        return;
    }
    // Every name is asked for its process at once; the first that is the requester's is used,
    // and when none is, the shared name's file manager shows the files.
    auto remaining = std::make_shared<int>(static_cast<int>(names.size()));
    auto found = std::make_shared<bool>(false);
    for (const QString& name : names) {
        QDBusMessage ask = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusInterface,
                                                          QStringLiteral("GetConnectionUnixProcessID"));
        ask << name;
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(ask, kBusCallTimeoutMilliseconds), this);
        ++pendingReveals_;
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, files, requester, name, remaining, found](QDBusPendingCallWatcher* finished) {
                    finished->deleteLater();
                    --pendingReveals_;
                    --*remaining;
                    const QDBusMessage reply = finished->reply();
                    const bool isRequester = reply.type() == QDBusMessage::ReplyMessage &&
                                             !reply.arguments().isEmpty() &&
                                             reply.arguments().constFirst().toLongLong() == requester;
                    if (isRequester && !*found) {
                        *found = true;
                        showItems(name, files, [this, files] { activateFileViewerSelecting(files); });
                    } else if (*remaining == 0 && !*found) {
                        activateFileViewerSelecting(files);
                    }
                });
    }
}

void DBusFileViewer::showItems(const QString& service, const std::vector<std::filesystem::path>& files,
                               std::function<void()> failed) {
    if (files.empty() || !bus_.isConnected()) return;

    QStringList uris;
    for (const auto& file : files)
        if (file.is_absolute()) uris << fileURI(file);
    if (uris.isEmpty()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, kPath, kInterface, QStringLiteral("ShowItems"));
    call << uris << QString();

    // Asynchronous: starting the file manager through bus activation can take seconds, and
    // the application's windows must keep responding meanwhile.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMilliseconds), this);
    ++pendingReveals_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, failed = std::move(failed)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                --pendingReveals_;
                if (finished->isError()) failed();
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
