#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace quillet::test {

// A dbus-daemon of the test's own, with no service files: a name is on it only when a test
// registers it, and nothing is ever started by bus activation. Stopped on destruction.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }
    // A new connection to this bus; each connection is a separate client with its own name.
    QDBusConnection connect(const QString& connectionName);

private:
    QTemporaryDir directory_;
    QProcess daemon_;
    QString address_;
    QStringList connectionNames_;
};

}  // namespace quillet::test
