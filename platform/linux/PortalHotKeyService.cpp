#include "platform/linux/PortalHotKeyService.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QTimer>
#include <algorithm>

#include "platform/linux/KeyBindingText.h"

namespace {

// One element of the portal's shortcut lists, a(sa{sv}): the id and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)
Q_DECLARE_METATYPE(PortalShortcuts)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

PortalShortcuts portalShortcuts(const std::vector<std::tuple<std::string, std::string, std::string>>& entries) {
    PortalShortcuts shortcuts;
    for (const auto& [id, description, trigger] : entries) {
        shortcuts.append(PortalShortcut{
            QString::fromStdString(id),
            QVariantMap{{QStringLiteral("description"), QString::fromStdString(description)},
                        {QStringLiteral("preferred_trigger"), QString::fromStdString(trigger)}}});
    }
    return shortcuts;
}

void registerPortalTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<PortalShortcuts>();
        return true;
    }();
    (void)registered;
}

constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
constexpr const char* kSessionInterface = "org.freedesktop.portal.Session";
constexpr int kCallTimeoutMilliseconds = 5000;
constexpr int kProbeTimeoutMilliseconds = 1500;

}  // namespace

namespace quillet {

bool PortalHotKeyService::isOffered(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QString::fromLatin1(kInterface) << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kProbeTimeoutMilliseconds);
    return reply.type() == QDBusMessage::ReplyMessage;
}

PortalHotKeyService::PortalHotKeyService(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    registerPortalTypes();
    if (bus_.isConnected()) {
        bus_.connect(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath), QString::fromLatin1(kInterface),
                     QStringLiteral("Activated"), this, SLOT(shortcutActivated(QDBusMessage)));
    }
}

PortalHotKeyService::~PortalHotKeyService() {
    // Closing the session unbinds its shortcuts at once, not only when the bus notices the exit.
    closeSession();
}

std::optional<std::string> PortalHotKeyService::wayFailure() const {
    if (!bus_.isConnected()) return "the session bus cannot be reached";
    return failure_;
}

int PortalHotKeyService::installEventHandler(Handler handler, HandlerRef& outRef) {
    if (!bus_.isConnected()) return kPortalFailedErr;
    outRef = nextHandlerRef_++;
    handlers_[outRef] = std::move(handler);
    return kHotKeyNoErr;
}

int PortalHotKeyService::removeEventHandler(HandlerRef ref) {
    return handlers_.erase(ref) ? kHotKeyNoErr : kPortalBadRefErr;
}

int PortalHotKeyService::registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity identity,
                                             const HotKeyPurpose& purpose, HotKeyRef& outRef) {
    if (!bus_.isConnected()) return kPortalFailedErr;
    const auto trigger = portalShortcutTrigger(keyCode, carbonModifiers);
    if (!trigger || purpose.name.empty()) return kPortalInvalidErr;
    outRef = nextHotKeyRef_++;
    registrations_[outRef] = Registration{identity, purpose, *trigger, false};
    scheduleBinding();
    return kHotKeyPending;
}

int PortalHotKeyService::unregisterEventHotKey(HotKeyRef ref) {
    if (!registrations_.erase(ref)) return kPortalBadRefErr;
    scheduleBinding();
    return kHotKeyNoErr;
}

void PortalHotKeyService::scheduleBinding() {
    if (bindingScheduled_) return;
    bindingScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        bindingScheduled_ = false;
        bindNow();
    });
}

std::vector<PortalHotKeyService::Entry> PortalHotKeyService::wantedEntries() const {
    std::vector<Entry> entries;
    for (const auto& [ref, registration] : registrations_)
        entries.emplace_back(registration.purpose.name, registration.purpose.description, registration.trigger);
    std::sort(entries.begin(), entries.end());
    return entries;
}

void PortalHotKeyService::bindNow() {
    // One request at a time: what changed meanwhile is bound when the answer has come.
    if (!pendingRequest_.isEmpty()) return;
    if (sessionState_ != SessionState::ready) {
        if (sessionState_ == SessionState::none && !registrations_.empty()) createSession();
        return;
    }
    const std::vector<Entry> wanted = wantedEntries();
    if (boundEntries_ && *boundEntries_ == wanted) {
        // The same set again (after a shortcut was recorded, say): the portal's answer stands.
        for (auto& [ref, registration] : registrations_)
            if (!registration.answered)
                answer(ref, boundIDs_.count(registration.purpose.name) ? kHotKeyNoErr : kPortalTakenErr);
        return;
    }
    requestedEntries_ = wanted;
    sendRequest(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(sessionHandle_)), QVariant::fromValue(portalShortcuts(wanted)),
                 QString()},
                {}, &PortalHotKeyService::bindingAnswered);
}

void PortalHotKeyService::createSession() {
    sessionState_ = SessionState::creating;
    // The set goes into the session too: some portals (KDE's before Plasma 6.1) bind only what
    // CreateSession names and answer BindShortcuts with the session's set; the others ignore it.
    sessionEntries_ = wantedEntries();
    // One name for every session: KDE files the shortcuts under it in its settings, so what the
    // user changes there stays with Quillet+ from one session (and launch) to the next.
    sendRequest(QStringLiteral("CreateSession"), {},
                {{QStringLiteral("session_handle_token"), QStringLiteral("quillet")},
                 {QStringLiteral("shortcuts"), QVariant::fromValue(portalShortcuts(sessionEntries_))}},
                &PortalHotKeyService::sessionCreated);
}

void PortalHotKeyService::closeSession() {
    if (sessionState_ == SessionState::ready && bus_.isConnected()) {
        bus_.call(QDBusMessage::createMethodCall(QString::fromLatin1(kService), sessionHandle_,
                                                 QString::fromLatin1(kSessionInterface), QStringLiteral("Close")),
                  QDBus::NoBlock);
    }
    forgetSession(SessionState::none);
}

void PortalHotKeyService::forgetSession(SessionState state) {
    sessionState_ = state;
    sessionHandle_.clear();
    boundEntries_.reset();
    boundIDs_.clear();
}

// Every session has the same handle (one token), so the new one is asked for only once the portal
// has answered the old one's Close: a Close it handled after the new session opened would end
// that one, and with it every shortcut.
void PortalHotKeyService::reopenSession() {
    if (sessionState_ != SessionState::ready || !bus_.isConnected()) {
        closeSession();
        createSession();
        return;
    }
    const QDBusMessage close = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), sessionHandle_, QString::fromLatin1(kSessionInterface), QStringLiteral("Close"));
    forgetSession(SessionState::closing);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(close, kCallTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (sessionState_ != SessionState::closing) return;
        // Answered or failed alike: the set wanted by now goes into the new session.
        sessionState_ = SessionState::none;
        scheduleBinding();
    });
}

void PortalHotKeyService::sendRequest(const QString& method, const QList<QVariant>& arguments, QVariantMap options,
                                      void (PortalHotKeyService::*answered)(uint, const QVariantMap&)) {
    // The Request object's path follows from our name and the token, so the answer is listened
    // for before the call is made and cannot slip past.
    const QString token = QStringLiteral("quillet_%1").arg(++tokenCounter_);
    options.insert(QStringLiteral("handle_token"), token);
    QString sender = bus_.baseService();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString expected = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    listenForAnswer(expected, true);
    pendingRequest_ = expected;
    pendingAnswer_ = answered;

    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
                                                       QString::fromLatin1(kInterface), method);
    QList<QVariant> all = arguments;
    all.append(options);
    call.setArguments(all);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method, expected](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (pendingRequest_ != expected) return;  // answered already
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            log_.error("The global shortcuts portal refused %{public}s: %{public}s", method.toStdString(),
                       reply.errorMessage().toStdString());
            listenForAnswer(expected, false);
            const auto answered = pendingAnswer_;
            pendingRequest_.clear();
            pendingAnswer_ = nullptr;
            (this->*answered)(2, {});
            return;
        }
        // A portal older than the predictable paths names another object; its answer comes there.
        const QString actual = qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
        if (!actual.isEmpty() && actual != expected) {
            listenForAnswer(expected, false);
            listenForAnswer(actual, true);
            pendingRequest_ = actual;
        }
    });
}

void PortalHotKeyService::listenForAnswer(const QString& requestPath, bool listen) {
    const QString service = QString::fromLatin1(kService);
    const QString interface = QString::fromLatin1(kRequestInterface);
    if (listen) {
        bus_.connect(service, requestPath, interface, QStringLiteral("Response"), this,
                     SLOT(requestAnswered(QDBusMessage)));
    } else {
        bus_.disconnect(service, requestPath, interface, QStringLiteral("Response"), this,
                        SLOT(requestAnswered(QDBusMessage)));
    }
}

void PortalHotKeyService::requestAnswered(const QDBusMessage& message) {
    if (message.path() != pendingRequest_ || !pendingAnswer_) return;
    listenForAnswer(pendingRequest_, false);
    const auto answered = pendingAnswer_;
    pendingRequest_.clear();
    pendingAnswer_ = nullptr;
    const QList<QVariant> arguments = message.arguments();
    const uint code = arguments.size() >= 1 ? arguments[0].toUInt() : 2;
    QVariantMap results;
    if (arguments.size() >= 2) {
        const QVariant value = arguments[1];
        if (value.canConvert<QDBusArgument>()) {
            value.value<QDBusArgument>() >> results;
        } else {
            results = value.toMap();
        }
    }
    (this->*answered)(code, results);
    // Whatever changed while the portal was asked is bound now.
    scheduleBinding();
}

void PortalHotKeyService::sessionCreated(uint code, const QVariantMap& results) {
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    // A string by the portal's documentation; some portals send an object path.
    const QString path = handle.userType() == qMetaTypeId<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                                             : handle.toString();
    if (code != 0 || path.isEmpty()) {
        log_.error("The global shortcuts portal did not open a session: response %d", static_cast<int>(code));
        if (code != 1)
            failure_ = "the global shortcuts portal did not open a session (response " + std::to_string(code) + ")";
        sessionState_ = SessionState::none;
        failUnanswered(code == 1 ? kPortalRefusedErr : kPortalFailedErr);
        return;
    }
    sessionHandle_ = path;
    sessionState_ = SessionState::ready;
    failure_.reset();
}

void PortalHotKeyService::bindingAnswered(uint code, const QVariantMap& results) {
    if (code != 0) {
        // Turned down (1) or failed (2): nothing of the set is bound, and the refused
        // registrations are gone, so nothing is asked again until the shortcuts change.
        if (code != 1)
            failure_ = "the global shortcuts portal could not bind the shortcuts (response " + std::to_string(code) + ")";
        failUnanswered(code == 1 ? kPortalRefusedErr : kPortalFailedErr);
        boundEntries_ = std::vector<Entry>{};
        boundIDs_.clear();
        return;
    }
    boundIDs_.clear();
    const QVariant shortcuts = results.value(QStringLiteral("shortcuts"));
    PortalShortcuts bound;
    if (shortcuts.canConvert<QDBusArgument>()) shortcuts.value<QDBusArgument>() >> bound;
    for (const PortalShortcut& shortcut : bound) boundIDs_.insert(shortcut.id.toStdString());
    const bool leftSomeOut = std::any_of(requestedEntries_.begin(), requestedEntries_.end(),
                                         [&](const Entry& e) { return !boundIDs_.count(std::get<0>(e)); });
    if (leftSomeOut && sessionEntries_ != requestedEntries_) {
        // A portal that binds only what its session was opened with cannot change the set in
        // place: a new session, opened with the whole set, decides what is taken.
        log_.log("The global shortcuts portal did not bind a changed set; opening a new session");
        reopenSession();
        return;
    }
    // What is bound is what was asked for less what the portal left out; the left-out
    // registrations are dropped below, so the same set is not sent again for them.
    boundEntries_ = std::vector<Entry>{};
    for (const Entry& entry : requestedEntries_)
        if (boundIDs_.count(std::get<0>(entry))) boundEntries_->push_back(entry);
    std::vector<HotKeyRef> refs;
    for (const auto& [ref, registration] : registrations_)
        if (!registration.answered) refs.push_back(ref);
    for (HotKeyRef ref : refs) {
        const auto it = registrations_.find(ref);
        if (it == registrations_.end()) continue;
        const bool requested = std::any_of(requestedEntries_.begin(), requestedEntries_.end(), [&](const Entry& e) {
            return std::get<0>(e) == it->second.purpose.name;
        });
        if (!requested) continue;  // registered after the request went out
        answer(ref, boundIDs_.count(it->second.purpose.name) ? kHotKeyNoErr : kPortalTakenErr);
    }
}

void PortalHotKeyService::failUnanswered(int status) {
    std::vector<HotKeyRef> refs;
    for (const auto& [ref, registration] : registrations_)
        if (!registration.answered) refs.push_back(ref);
    for (HotKeyRef ref : refs) answer(ref, status);
}

void PortalHotKeyService::answer(HotKeyRef ref, int status) {
    auto it = registrations_.find(ref);
    if (it == registrations_.end()) return;
    it->second.answered = true;
    // A refused registration is gone; its owner does not unregister it.
    if (status != kHotKeyNoErr) registrations_.erase(it);
    if (observer_) observer_(ref, status);
}

void PortalHotKeyService::shortcutActivated(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2) return;
    if (qvariant_cast<QDBusObjectPath>(arguments[0]).path() != sessionHandle_ || sessionHandle_.isEmpty()) return;
    const std::string id = arguments[1].toString().toStdString();
    for (const auto& [ref, registration] : registrations_) {
        if (registration.purpose.name != id || !registration.answered) continue;
        const HotKeyEvent event{registration.identity, 0};
        // A copy: a handler may change the set.
        const auto handlers = handlers_;
        for (const auto& [handlerRef, handler] : handlers)
            if (handler) handler(event);
        return;
    }
}

}  // namespace quillet
