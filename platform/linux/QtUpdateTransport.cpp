#include "platform/linux/QtUpdateTransport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include <limits>

#include "quillet/Version.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

// What one transfer shares with the reply's handlers; `active` turns false once it finished
// or was cancelled, and no callback runs after that.
struct TransferState {
    UpdateTransport::Progress onProgress;
    UpdateTransport::Completion onFinish;
    // Each transfer has an access manager of its own: with one shared, aborting a request that
    // had not started yet also stalled another one on the same server.
    std::unique_ptr<QNetworkAccessManager> network;
    QPointer<QNetworkReply> reply;
    std::vector<QMetaObject::Connection> connections;  // ours only: the reply has its own inside
    std::uint64_t maximumBytes = 0;
    std::chrono::milliseconds timeout{0};
    std::string body;
    QStringList tlsErrors;
    bool tooLarge = false;
    bool active = true;

    void stop() {
        active = false;
        onProgress = nullptr;
        onFinish = nullptr;
        for (const auto& connection : connections) QObject::disconnect(connection);
        connections.clear();
        if (reply) {
            reply->abort();
            reply = nullptr;
        }
        // Later, with the reply in it: this may run inside one of the reply's signals.
        if (network) network.release()->deleteLater();
    }

    void finish(TransferResponse response) {
        if (!active) return;
        auto done = std::move(onFinish);
        stop();
        // The last thing done here: the callback may drop the transfer, and with it this state.
        if (done) done(std::move(response));
    }

    // Reads what arrived and reports it; a body past the limit stops the transfer. Progress is
    // counted here rather than taken from the reply's own signal, which Qt holds back when
    // bytes come close together, so a stalled download would show less than it has.
    void readAvailable() {
        if (!reply || tooLarge || !reply->isReadable()) return;
        const QByteArray chunk = reply->readAll();
        if (chunk.isEmpty()) return;
        body.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
        if (maximumBytes != 0 && body.size() > maximumBytes) return refuseAsTooLarge();
        if (!onProgress) return;
        // A copy: the callback may cancel, which clears the one in the state.
        const auto report = onProgress;
        report(body.size(), expectedLength());
    }

    // The announced length, when it counts the bytes delivered (not those of a compressed body).
    std::optional<std::uint64_t> expectedLength() const {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
        if (!length.isValid() || !(encoding.isEmpty() || encoding == "identity")) return std::nullopt;
        return length.toULongLong();
    }

    void refuseAsTooLarge() {
        tooLarge = true;
        body.clear();
        reply->abort();  // finished() follows at once and reports it
    }
};

bool answeredWithHttpStatus(QNetworkReply::NetworkError error, int status) {
    // The reply flags 4xx and 5xx answers as errors; they are answers all the same, and whoever
    // asked decides what a status means. Failures of the connection itself stay failures.
    return status >= 400 &&
           ((error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
            (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError) ||
            error == QNetworkReply::ProtocolInvalidOperationError);
}

TransferResponse responseOf(TransferState& state, QNetworkReply& reply) {
    TransferResponse response;
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    response.httpStatus = status.isValid() ? status.toInt() : 0;
    const auto error = reply.error();
    if (state.tooLarge) {
        response.error = formatText(translate("The download is larger than the %1 bytes expected."),
                                    {std::to_string(state.maximumBytes)});
    } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        // This adapter aborts only for the size limit and on cancel, which reports nothing:
        // a cancelled reply here is the transfer timeout.
        const auto seconds = (state.timeout.count() + 999) / 1000;
        response.error = formatText(translatePlural("The server stopped answering for %1 second.",
                                                    "The server stopped answering for %1 seconds.",
                                                    static_cast<unsigned long>(seconds)),
                                    {std::to_string(seconds)});
    } else if (error == QNetworkReply::InsecureRedirectError) {
        response.error = translate("The server redirected to an address that is not secure (https).");
    } else if (error != QNetworkReply::NoError && !answeredWithHttpStatus(error, response.httpStatus)) {
        QString text = reply.errorString();
        for (const QString& tls : state.tlsErrors)
            if (!text.contains(tls)) text += QStringLiteral(" (") + tls + QStringLiteral(")");
        response.error = text.toStdString();
    } else if (reply.url().scheme() != QLatin1String("https")) {
        response.error = formatText(translate("The server redirected to \u201C%1\u201D, which is not a secure (https) address."),
                                    {reply.url().toString().toStdString()});
    } else {
        response.body = std::move(state.body);
    }
    return response;
}

class QtTransfer final : public Transfer {
public:
    explicit QtTransfer(std::shared_ptr<TransferState> state) : state_(std::move(state)) {}
    ~QtTransfer() override { cancel(); }
    void cancel() override { state_->stop(); }

private:
    std::shared_ptr<TransferState> state_;
};

}  // namespace

QtUpdateTransport::QtUpdateTransport(std::optional<QList<QSslCertificate>> certificateAuthorities)
    : certificateAuthorities_(std::move(certificateAuthorities)) {}

QtUpdateTransport::~QtUpdateTransport() = default;

std::unique_ptr<Transfer> QtUpdateTransport::get(const TransferRequest& request, Progress onProgress,
                                                 Completion onFinish) {
    auto state = std::make_shared<TransferState>();
    state->onProgress = std::move(onProgress);
    state->onFinish = std::move(onFinish);
    state->maximumBytes = request.maximumBytes;
    state->timeout = request.timeout;

    const QUrl url(QString::fromStdString(request.url), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
        // Reported like any other failure: later, from the event loop.
        TransferResponse refused;
        refused.error = formatText(translate("Updates are fetched only from secure (https) addresses; \u201C%1\u201D is not one."),
                                   {request.url});
        QTimer::singleShot(0, [state, refused] { state->finish(refused); });
        return std::make_unique<QtTransfer>(state);
    }

    QNetworkRequest networkRequest(url);
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::NoLessSafeRedirectPolicy);
    networkRequest.setMaximumRedirectsAllowed(10);
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    networkRequest.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quillet+/" QUILLET_VERSION));
    const auto timeout = std::min<std::chrono::milliseconds::rep>(request.timeout.count(),
                                                                  std::numeric_limits<int>::max());
    networkRequest.setTransferTimeout(static_cast<int>(std::max<std::chrono::milliseconds::rep>(timeout, 0)));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    if (certificateAuthorities_) tls.setCaCertificates(*certificateAuthorities_);
    networkRequest.setSslConfiguration(tls);

    state->network = std::make_unique<QNetworkAccessManager>();
    QNetworkReply* reply = state->network->get(networkRequest);
    state->reply = reply;
    // Every handler holds the state, not the transfer, so dropping the transfer in a callback
    // is safe; each returns at once when the transfer is no longer active.
    state->connections.push_back(QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [state] {
        if (!state->active || !state->reply) return;
        const QVariant length = state->reply->header(QNetworkRequest::ContentLengthHeader);
        if (state->maximumBytes != 0 && length.isValid() && length.toULongLong() > state->maximumBytes)
            state->refuseAsTooLarge();
    }));
    state->connections.push_back(QObject::connect(reply, &QIODevice::readyRead, reply, [state] {
        if (state->active) state->readAvailable();
    }));
    state->connections.push_back(
        QObject::connect(reply, &QNetworkReply::sslErrors, reply, [state](const QList<QSslError>& errors) {
        // Never ignored; kept only to say why the connection was refused.
        for (const QSslError& error : errors) state->tlsErrors << error.errorString();
    }));
    state->connections.push_back(QObject::connect(reply, &QNetworkReply::finished, reply, [state] {
        if (!state->active || !state->reply) return;
        state->readAvailable();
        state->finish(responseOf(*state, *state->reply));
    }));
    return std::make_unique<QtTransfer>(state);
}

}  // namespace quillet
