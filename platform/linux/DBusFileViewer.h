#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <cstdint>
#include <functional>

#include "platform/FileViewer.h"

namespace quillet {

class URLOpener;

// Asks the file manager to show files selected through org.freedesktop.FileManager1.ShowItems
// on the session bus. When the call fails (no file manager implements it, or it does not
// answer in time) the folders holding the files are opened instead. Without a session bus
// there is no file manager to ask, and nothing happens.
class DBusFileViewer final : public QObject, public FileViewer {
    Q_OBJECT
public:
    // The fallback opens folders through `folderOpener`, which must outlive this object.
    DBusFileViewer(QDBusConnection bus, URLOpener& folderOpener, QObject* parent = nullptr);

    void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) override;
    // Asks the bus which of its names the requester holds and calls ShowItems there: Nautilus,
    // Nemo, Caja, Thunar and Dolphin each serve the file manager interface on their own
    // connection, whoever holds the shared name. A requester that holds no name or does not
    // answer gets the shared name's file manager instead.
    void showInRequestingFileManager(const std::vector<std::filesystem::path>& files,
                                     std::int64_t requester) override;
    // Calls still waiting for the file manager's answer; a process about to exit lets its
    // event loop run until there are none, so the request is not lost on the way.
    int pendingReveals() const { return pendingReveals_; }

    static constexpr int kCallTimeoutMilliseconds = 10000;

private:
    void openContainingFolders(const std::vector<std::filesystem::path>& files);
    // ShowItems at `service`; `failed` runs when the call fails.
    void showItems(const QString& service, const std::vector<std::filesystem::path>& files,
                   std::function<void()> failed);
    void showInNameOf(const QStringList& names, const std::vector<std::filesystem::path>& files,
                      std::int64_t requester);

    QDBusConnection bus_;
    URLOpener& folderOpener_;
    int pendingReveals_ = 0;
};

// "file://" followed by the path's bytes percent-encoded, "/" kept: any file name survives.
QString fileURI(const std::filesystem::path& path);

}  // namespace quillet
