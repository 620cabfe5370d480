#pragma once

#include <QObject>

#include <functional>
#include <string_view>

#include "platform/posix/InstanceSocket.h"
#include "shared/logging/Logger.h"

class QSocketNotifier;

namespace quillet {

// Serves the instance socket from the event loop: every connection of this user's is read once
// its request has arrived, answered, and closed. A connection that sends nothing in time, too
// many at once, another user's process and a message that is no request are each dropped with a
// log line; none of them holds up the application or the next launch.
class QtInstanceListener : public QObject {
public:
    // Sends the answer of a request answered later; the first call counts, later ones do nothing,
    // and so does a call once the listener is gone (the launch then saw the socket close).
    using Reply = std::function<void(std::string_view answer)>;
    enum class Answer { accepted, refused, later };
    // Whether the message was a request, or that `reply` answers it later; the answer the launch
    // gets says so. Called on the main thread, and it must not run modal work itself (the launch
    // is waiting).
    using RequestHandler = std::function<Answer(std::string_view message, Reply reply)>;

    static constexpr int kMaximumOpenConnections = 8;
    static constexpr int kConnectionTimeoutMilliseconds = 2000;

    // `listener` must be listening and must outlive this object.
    QtInstanceListener(instance_socket::Listener& listener, RequestHandler onRequest);
    ~QtInstanceListener() override;

private:
    void acceptWaiting();
    void read(int connection, QSocketNotifier* notifier);
    void drop(int connection, QSocketNotifier* notifier);
    // Stops reading a connection whose answer comes later, keeping it open until then.
    void awaitReply(QSocketNotifier* notifier);

    instance_socket::Listener& listener_;
    RequestHandler onRequest_;
    QSocketNotifier* notifier_ = nullptr;
    int openConnections_ = 0;
    Logger log_{kAppSubsystem, "Instance"};
};

}  // namespace quillet
