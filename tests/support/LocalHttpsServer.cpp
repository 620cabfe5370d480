#include "tests/support/LocalHttpsServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace quillet::test {

namespace {
const QString supportFolder = QStringLiteral(QUILLET_SOURCE_DIR "/tests/support/");
}

LocalHttpsServer::LocalHttpsServer() {
    QDir(folder_.path()).mkdir(QStringLiteral("www"));
    QProcess makeAuthority;
    makeAuthority.start(QStringLiteral("sh"), {supportFolder + "make-test-ca.sh", folder_.path()});
    if (!makeAuthority.waitForFinished(60000) || makeAuthority.exitCode() != 0) {
        startError_ = "make-test-ca.sh failed: " + QString::fromLocal8Bit(makeAuthority.readAllStandardError());
        return;
    }
    const QString portFile = folder_.filePath(QStringLiteral("port"));
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(QStringLiteral("python3"),
                  {supportFolder + "https-server.py", "--root", folder_.filePath(QStringLiteral("www")),
                   "--certificate", folder_.filePath(QStringLiteral("server.pem")), "--key",
                   folder_.filePath(QStringLiteral("server.key")), "--port-file", portFile});
    // A loaded machine may take seconds to start Python; the port file appears once it listens.
    for (QDeadlineTimer deadline(30000); !deadline.hasExpired(); QThread::msleep(50)) {
        QFile file(portFile);
        if (file.open(QIODevice::ReadOnly)) {
            port_ = file.readAll().trimmed().toInt();
            return;
        }
        if (server_.state() == QProcess::NotRunning) break;
    }
    startError_ = QStringLiteral("https-server.py did not start listening");
}

LocalHttpsServer::~LocalHttpsServer() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) server_.kill();
    server_.waitForFinished(5000);
}

void LocalHttpsServer::addFile(const std::string& name, const std::string& bytes) {
    QFile file(folder_.filePath(QStringLiteral("www/") + QString::fromStdString(name)));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string LocalHttpsServer::url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

QList<QSslCertificate> LocalHttpsServer::certificateAuthority() const {
    return QSslCertificate::fromPath(folder_.filePath(QStringLiteral("ca.pem")));
}

}  // namespace quillet::test
