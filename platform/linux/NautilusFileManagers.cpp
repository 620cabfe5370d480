#include "platform/linux/NautilusFileManagers.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantList>
#include <QVariantMap>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <string>

#include <sys/types.h>

namespace quillet {

namespace {

const QString kService = QString::fromLatin1(NautilusFileManagers::kServiceName);

}  // namespace

bool processHasEnded(std::int64_t processIdentifier) {
    if (processIdentifier <= 0) return true;
    if (::kill(static_cast<pid_t>(processIdentifier), 0) != 0 && errno == ESRCH) return true;
    // /proc/PID/stat: "PID (name) STATE ..."; the name may hold anything, so read after the last ')'.
    std::ifstream stat("/proc/" + std::to_string(processIdentifier) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && (line[close + 2] == 'Z' || line[close + 2] == 'X');
}

NautilusFileManagers::NautilusFileManagers(QDBusConnection bus) : bus_(std::move(bus)) {}

NautilusFileManagers::~NautilusFileManagers() {
    for (auto& activation : activations_) activation.waitForFinished();
}

std::vector<RunningFileManager> NautilusFileManagers::running() {
    if (!bus_.isConnected()) return {};
    QDBusConnectionInterface* busInterface = bus_.interface();
    if (!busInterface) return {};
    const QDBusReply<bool> owned = busInterface->isServiceRegistered(kService);
    if (!owned.isValid() || !owned.value()) return {};
    const QDBusReply<uint> pid = busInterface->servicePid(kService);
    if (!pid.isValid() || pid.value() == 0) return {};
    return {RunningFileManager{static_cast<std::int64_t>(pid.value())}};
}

bool NautilusFileManagers::terminate(const RunningFileManager&) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QString::fromLatin1(kObjectPath),
                                                       QStringLiteral("org.gtk.Actions"), QStringLiteral("Activate"));
    call << QStringLiteral("kill") << QVariantList() << QVariantMap();
    // Never start it just to tell it to quit.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMilliseconds);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void NautilusFileManagers::forceTerminate(const RunningFileManager& instance) {
    if (instance.processIdentifier > 0) ::kill(static_cast<pid_t>(instance.processIdentifier), SIGKILL);
}

bool NautilusFileManagers::isTerminated(const RunningFileManager& instance) {
    if (processHasEnded(instance.processIdentifier)) return true;
    QDBusConnectionInterface* busInterface = bus_.isConnected() ? bus_.interface() : nullptr;
    if (!busInterface) return false;
    const QDBusReply<bool> owned = busInterface->isServiceRegistered(kService);
    return owned.isValid() && !owned.value();
}

void NautilusFileManagers::relaunch() {
    if (!bus_.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("StartServiceByName"));
    call << kService << 0u;
    activations_.append(bus_.asyncCall(call, kActivationTimeoutMilliseconds));
}

}  // namespace quillet
