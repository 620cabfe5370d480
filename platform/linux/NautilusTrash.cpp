#include "platform/linux/NautilusTrash.h"

#include <QDBusMessage>
#include <QTimer>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

#include "platform/linux/DBusFileViewer.h"

namespace quillet {

NautilusTrash::NautilusTrash(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {}

void NautilusTrash::trash(const std::filesystem::path& item, Completion completion) {
    if (!bus_.isConnected() || !item.is_absolute()) return completion(TrashOutcome::notPrepared());
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("TrashURIs"));
    call << QStringList{fileURI(item)} << QVariantMap();
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, item, completion = std::move(completion)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError()) return completion(TrashOutcome::failed(finished->error().message().toStdString()));
                awaitGone(item, completion, kChecksAfterReply);
            });
}

void NautilusTrash::awaitGone(const std::filesystem::path& item, const Completion& completion, int checksLeft) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(item, error)) || checksLeft <= 0)
        return completion(TrashOutcome::trashed());
    QTimer::singleShot(kCheckIntervalMilliseconds, this,
                       [this, item, completion, checksLeft] { awaitGone(item, completion, checksLeft - 1); });
}

}  // namespace quillet
