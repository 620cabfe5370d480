#include "platform/linux/NautilusTrash.h"

#include <QDBusMessage>
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
            [completion = std::move(completion)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError()) return completion(TrashOutcome::failed(finished->error().message().toStdString()));
                completion(TrashOutcome::trashed());
            });
}

}  // namespace quillet
