#include "platform/linux/QtInstanceListener.h"

#include <QSocketNotifier>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <memory>

#include <unistd.h>

namespace quillet {

namespace {

// Marks the notifier of a connection kept open for an answer sent later.
constexpr const char* kAwaitingReply = "quilletAwaitingReply";

}  // namespace

QtInstanceListener::QtInstanceListener(instance_socket::Listener& listener, RequestHandler onRequest)
    : listener_(listener), onRequest_(std::move(onRequest)) {
    notifier_ = new QSocketNotifier(listener_.fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { acceptWaiting(); });
}

QtInstanceListener::~QtInstanceListener() {
    // Connections still waiting end with the listener: their launches see the socket close.
    for (auto* notifier : findChildren<QSocketNotifier*>()) {
        if (notifier != notifier_ && (notifier->isEnabled() || notifier->property(kAwaitingReply).toBool()))
            ::close(static_cast<int>(notifier->socket()));
    }
}

void QtInstanceListener::acceptWaiting() {
    for (;;) {
        const auto accepted = listener_.accept();
        if (accepted.refusedUser) {
            log_.error("Refused a request from user %u: only this user's launches are served",
                       static_cast<unsigned>(*accepted.refusedUser));
            continue;
        }
        if (accepted.connection < 0) return;
        const int connection = accepted.connection;
        if (openConnections_ >= kMaximumOpenConnections) {
            log_.error("Too many launches waiting; dropped one");
            ::close(connection);
            continue;
        }
        ++openConnections_;
        auto* notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, connection, notifier] { read(connection, notifier); });
        auto* timeout = new QTimer(notifier);
        timeout->setSingleShot(true);
        connect(timeout, &QTimer::timeout, this, [this, connection, notifier] {
            log_.error("Dropped a launch that sent no request");
            drop(connection, notifier);
        });
        timeout->start(kConnectionTimeoutMilliseconds);
        // A request that arrived with the connection is read now, not one loop turn later.
        read(connection, notifier);
    }
}

void QtInstanceListener::read(int connection, QSocketNotifier* notifier) {
    if (!notifier->isEnabled()) return;
    const auto received = instance_socket::receive(connection);
    switch (received.status) {
        case instance_socket::Received::Status::pending: return;
        case instance_socket::Received::Status::closed: break;
        case instance_socket::Received::Status::malformed:
            log_.error("Dropped a request that is too long");
            instance_socket::answer(connection, instance_socket::kRefused);
            break;
        case instance_socket::Received::Status::message: {
            QPointer<QtInstanceListener> self(this);
            auto answered = std::make_shared<bool>(false);
            const Reply reply = [self, connection, notifier, answered](std::string_view text) {
                if (*answered || !self) return;
                *answered = true;
                instance_socket::answer(connection, text);
                self->drop(connection, notifier);
            };
            const Answer answer = onRequest_(received.message, reply);
            if (answer == Answer::later && !*answered) {
                awaitReply(notifier);
                return;
            }
            if (answer == Answer::later) return;  // answered already, and dropped
            *answered = true;
            instance_socket::answer(connection,
                                    answer == Answer::accepted ? instance_socket::kAccepted : instance_socket::kRefused);
            break;
        }
    }
    drop(connection, notifier);
}

void QtInstanceListener::awaitReply(QSocketNotifier* notifier) {
    // Nothing more is read (a closed peer would wake the notifier again and again), and the
    // deadline for sending a request no longer applies.
    notifier->setEnabled(false);
    notifier->setProperty(kAwaitingReply, true);
    for (auto* timer : notifier->findChildren<QTimer*>()) timer->stop();
}

void QtInstanceListener::drop(int connection, QSocketNotifier* notifier) {
    if (!notifier->isEnabled() && !notifier->property(kAwaitingReply).toBool()) return;
    notifier->setEnabled(false);
    notifier->setProperty(kAwaitingReply, false);
    ::close(connection);
    --openConnections_;
    // Not deleted here: this may run inside the notifier's own signal.
    notifier->deleteLater();
}

}  // namespace quillet
