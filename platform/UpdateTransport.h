#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillet {

// One GET of an update feed or archive. Only https addresses are fetched; a redirect to
// anything else is refused by the transport.
struct TransferRequest {
    std::string url;
    std::chrono::milliseconds timeout{30000};  // without a byte received for this long: failure
    std::uint64_t maximumBytes = 0;            // 0 = no limit; a longer body is a failure
};

struct TransferResponse {
    // Set when the transfer failed (no connection, TLS refused, timed out, too long, cancelled
    // never reports); the text says what happened, for the user.
    std::optional<std::string> error;
    int httpStatus = 0;  // the final response's status, 0 when none came
    std::string body;
};

// A transfer in flight; dropping it or calling cancel() stops it and its callbacks.
class Transfer {
public:
    virtual ~Transfer() = default;
    virtual void cancel() = 0;
};

// Fetches over HTTPS on the main event loop: callbacks arrive on the main thread, after get()
// has returned, finished at most once and never after cancel().
class UpdateTransport {
public:
    using Progress = std::function<void(std::uint64_t received, std::optional<std::uint64_t> expected)>;
    using Completion = std::function<void(TransferResponse)>;

    virtual ~UpdateTransport() = default;
    virtual std::unique_ptr<Transfer> get(const TransferRequest& request, Progress onProgress,
                                          Completion onFinish) = 0;
};

}  // namespace quillet
