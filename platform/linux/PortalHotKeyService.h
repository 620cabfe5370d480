#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "platform/HotKeyService.h"
#include "shared/logging/Logger.h"

namespace quillet {

// System-wide hot keys through the desktop's global shortcuts portal, where a Wayland session
// lets no client grab keys. The portal keeps one set of shortcuts per session; the user may be
// asked in a dialog of the desktop, and the desktop may bind another trigger than the one
// preferred. So the registrations of one turn of the main loop are bound together, in one call
// with the whole set, at the end of the turn; each is answered later through the result
// observer: bound, refused by the user, or left out of the bound set (the combination is taken).
// A press arrives as the portal's Activated signal, on the main thread, and reaches the one
// installed handler with the identity given at registration.
//
// The session is created on the first binding and closed on destruction.
class PortalHotKeyService final : public QObject, public HotKeyService {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.portal.Desktop";
    static constexpr const char* kObjectPath = "/org/freedesktop/portal/desktop";
    static constexpr const char* kInterface = "org.freedesktop.portal.GlobalShortcuts";

    // Statuses besides kHotKeyNoErr and kHotKeyPending.
    static constexpr int kPortalTakenErr = -9878;      // the portal bound the set without it
    static constexpr int kPortalInvalidErr = -9879;    // no trigger text for the combination
    static constexpr int kPortalRefusedErr = -128;     // the user turned the dialog down
    static constexpr int kPortalFailedErr = -9868;     // the portal failed or could not be reached
    static constexpr int kPortalBadRefErr = -9870;     // no such registration or handler

    // Whether the session bus has a portal offering global shortcuts; asks the bus once, with a
    // short limit, so a launch without a portal does not wait long.
    static bool isOffered(const QDBusConnection& bus);

    explicit PortalHotKeyService(QDBusConnection bus, QObject* parent = nullptr);
    ~PortalHotKeyService() override;

    int installEventHandler(Handler handler, HandlerRef& outRef) override;
    int removeEventHandler(HandlerRef ref) override;
    int registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity identity,
                            const HotKeyPurpose& purpose, HotKeyRef& outRef) override;
    int unregisterEventHotKey(HotKeyRef ref) override;
    void setResultObserver(ResultObserver observer) override { observer_ = std::move(observer); }
    std::optional<std::string> wayFailure() const override;

private slots:
    void requestAnswered(const QDBusMessage& message);
    void shortcutActivated(const QDBusMessage& message);

private:
    struct Registration {
        HotKeyIdentity identity;
        HotKeyPurpose purpose;
        std::string trigger;
        bool answered = false;
    };
    // One shortcut as bound: id, description, preferred trigger.
    using Entry = std::tuple<std::string, std::string, std::string>;

    void scheduleBinding();
    void bindNow();
    void createSession();
    void closeSession();
    void reopenSession();
    void sessionCreated(uint code, const QVariantMap& results);
    void bindingAnswered(uint code, const QVariantMap& results);
    std::vector<Entry> wantedEntries() const;
    // Sends a portal request whose answer comes as a Response signal on a Request object.
    // The answer's code is 2 when the call itself failed.
    void sendRequest(const QString& method, const QList<QVariant>& arguments, QVariantMap options,
                     void (PortalHotKeyService::*answered)(uint, const QVariantMap&));
    void listenForAnswer(const QString& requestPath, bool listen);
    void answer(HotKeyRef ref, int status);
    void failUnanswered(int status);

    Logger log_{kAppSubsystem, "GlobalHotKey"};
    QDBusConnection bus_;
    enum class SessionState { none, creating, ready, closing } sessionState_ = SessionState::none;
    // Drops what the last session held, leaving the state given.
    void forgetSession(SessionState state);
    // Why the last session could not be opened or bind anything; cleared by one that opens.
    std::optional<std::string> failure_;
    QString sessionHandle_;
    // The request awaiting its Response, and what to do with it.
    QString pendingRequest_;
    void (PortalHotKeyService::*pendingAnswer_)(uint, const QVariantMap&) = nullptr;
    std::vector<Entry> requestedEntries_;
    // The set the current session was opened with.
    std::vector<Entry> sessionEntries_;
    // What the portal last bound, so an unchanged set is not sent again.
    std::optional<std::vector<Entry>> boundEntries_;
    std::set<std::string> boundIDs_;
    bool bindingScheduled_ = false;
    unsigned tokenCounter_ = 0;
    std::map<HotKeyRef, Registration> registrations_;
    std::map<HandlerRef, Handler> handlers_;
    HotKeyRef nextHotKeyRef_ = 1;
    HandlerRef nextHandlerRef_ = 1;
    ResultObserver observer_;
};

}  // namespace quillet
