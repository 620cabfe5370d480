#pragma once

#include <QList>
#include <QProcess>
#include <QSslCertificate>
#include <QTemporaryDir>

#include <string>

namespace quillet::test {

// tests/support/https-server.py on 127.0.0.1, with a certificate from a throw-away authority
// made for this server alone (tests/support/make-test-ca.sh). Serves the files a test adds;
// see the script for the path prefixes that cut a body short, stall or redirect. Stopped on
// destruction.
class LocalHttpsServer {
public:
    LocalHttpsServer();
    ~LocalHttpsServer();
    LocalHttpsServer(const LocalHttpsServer&) = delete;
    LocalHttpsServer& operator=(const LocalHttpsServer&) = delete;

    // Empty when the server could not be started; the text says why.
    const QString& startError() const { return startError_; }
    void addFile(const std::string& name, const std::string& bytes);
    std::string url(const std::string& path) const;  // path starts with '/'
    // The authority that signed the server's certificate.
    QList<QSslCertificate> certificateAuthority() const;

private:
    QTemporaryDir folder_;
    QProcess server_;
    int port_ = 0;
    QString startError_;
};

}  // namespace quillet::test
