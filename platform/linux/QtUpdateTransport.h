#pragma once

#include <QList>
#include <QSslCertificate>

#include <memory>
#include <optional>

#include "platform/UpdateTransport.h"

namespace quillet {

// HTTPS through Qt Network on the main event loop. Only https addresses are fetched, a redirect
// only to a no less safe one, and the server's certificate is always verified: against the
// system's certificate authorities, or only against `certificateAuthorities` when given (tests
// pass their own throw-away authority; the program never does). A body longer than the
// request's maximumBytes is cut off and reported, and a server silent for longer than its
// timeout fails the transfer.
class QtUpdateTransport final : public UpdateTransport {
public:
    explicit QtUpdateTransport(std::optional<QList<QSslCertificate>> certificateAuthorities = std::nullopt);
    ~QtUpdateTransport() override;

    std::unique_ptr<Transfer> get(const TransferRequest& request, Progress onProgress,
                                  Completion onFinish) override;

private:
    std::optional<QList<QSslCertificate>> certificateAuthorities_;
};

}  // namespace quillet
