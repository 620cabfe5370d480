#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <memory>
#include <vector>

#include "app/shortcuts/GlobalHotKeyManager.h"
#include "platform/linux/PortalHotKeyService.h"
#include "platform/linux/QtMainQueue.h"
#include "shared/logging/Logger.h"
#include "tests/support/PrivateSessionBus.h"

namespace quillet {
namespace {

// The global shortcuts portal played by tests/support/stand_in_portal.py on a bus of the test's
// own, speaking the portal's own interfaces; the test reads the calls it received and makes it
// answer, refuse or press through its control object.
class StandInPortal {
public:
    explicit StandInPortal(const test::PrivateSessionBus& bus, const QStringList& arguments = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("/usr/bin/python3"),
                       QStringList{QStringLiteral(QUILLET_SOURCE_DIR "/tests/support/stand_in_portal.py")} + arguments);
    }
    ~StandInPortal() {
        process_.kill();
        process_.waitForFinished(3000);
    }
    bool waitUntilReady() {
        return QTest::qWaitFor([this] { return process_.readAllStandardOutput().contains("ready"); }, 10000);
    }
    void attach(QDBusConnection connection) { connection_ = std::make_unique<QDBusConnection>(connection); }

    QJsonArray calls(const QString& method) const {
        const QDBusMessage reply = control(QStringLiteral("Calls"), {});
        QJsonArray matching;
        for (const auto& call : QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8()).array())
            if (call.toObject().value(QStringLiteral("method")).toString() == method) matching.append(call);
        return matching;
    }
    void activate(const QString& id) const { control(QStringLiteral("Activate"), {id}); }
    void answerNextBind(uint code, const QStringList& leftOut) const {
        control(QStringLiteral("AnswerNextBind"), {code, leftOut});
    }
    void leaveOut(const QStringList& ids) const { control(QStringLiteral("LeaveOut"), {ids}); }

private:
    QDBusMessage control(const QString& method, const QList<QVariant>& arguments) const {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                                           QStringLiteral("/org/quillet/Test"),
                                                           QStringLiteral("org.quillet.Test.StandInPortal"), method);
        call.setArguments(arguments);
        return connection_->call(call);
    }

    QProcess process_;
    std::unique_ptr<QDBusConnection> connection_;
};

// [id, description, preferred trigger] of each shortcut of a BindShortcuts call, in its order.
std::vector<std::vector<std::string>> boundShortcuts(const QJsonValue& call) {
    std::vector<std::vector<std::string>> shortcuts;
    for (const auto& entry : call.toObject().value(QStringLiteral("shortcuts")).toArray()) {
        const QJsonArray pair = entry.toArray();
        const QJsonObject properties = pair.at(1).toObject();
        shortcuts.push_back({pair.at(0).toString().toStdString(),
                             properties.value(QStringLiteral("description")).toString().toStdString(),
                             properties.value(QStringLiteral("preferred_trigger")).toString().toStdString()});
    }
    return shortcuts;
}

const QuickCreateShortcut kControlShiftM{46, kCarbonControlKey | kCarbonShiftKey};
const QuickCreateShortcut kControlOptionT{17, kCarbonControlKey | kCarbonOptionKey};
const QuickCreateShortcut kCommandF5{96, kCarbonCommandKey};

TEST(PortalHotKeyService, BindsEachSetOnceAndHandsPressesToTheHandlerOnTheMainQueue) {
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    test::PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection connection = bus.connect(QStringLiteral("portal-client"));
    EXPECT_FALSE(PortalHotKeyService::isOffered(connection)) << "nothing offers the portal yet";
    StandInPortal portal(bus);
    ASSERT_TRUE(portal.waitUntilReady());
    portal.attach(bus.connect(QStringLiteral("portal-control")));
    EXPECT_TRUE(PortalHotKeyService::isOffered(connection));

    PortalHotKeyService service(connection);
    QtMainQueue queue;
    std::vector<HotKeyAction> performed;
    GlobalHotKeyManager manager(service, queue, [&](const HotKeyAction& action) { performed.push_back(action); });

    // One turn's registrations go out as one call, with ids and descriptions a person understands.
    manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}, {"docx", kCommandF5}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Registered Super+F5 hot key"); }, 5000))
        << ::testing::PrintToString(sink->lines());
    EXPECT_TRUE(sink->contains("Registered Ctrl+Alt+N hot key"));
    EXPECT_TRUE(sink->contains("Registered Ctrl+Shift+M hot key"));
    EXPECT_EQ(portal.calls(QStringLiteral("CreateSession")).size(), 1);
    QJsonArray binds = portal.calls(QStringLiteral("BindShortcuts"));
    ASSERT_EQ(binds.size(), 1);
    EXPECT_EQ(boundShortcuts(binds[0]), (std::vector<std::vector<std::string>>{
                                            {"create-docx", "New Word Document", "LOGO+F5"},
                                            {"create-md", "New Markdown File", "CTRL+SHIFT+M"},
                                            {"quick-create", "Show Quick Create", "CTRL+ALT+N"},
                                        }));

    // A press comes as the portal's signal and is performed later, from the main queue.
    portal.activate(QStringLiteral("quick-create"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !performed.empty(); }, 5000));
    EXPECT_EQ(performed, std::vector<HotKeyAction>{HotKeyAction::quickCreate()});
    portal.activate(QStringLiteral("create-md"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return performed.size() == 2; }, 5000));
    EXPECT_EQ(performed[1], HotKeyAction::createFile("md"));
    // An id the portal never had from us does nothing.
    portal.activate(QStringLiteral("create-exe"));
    QTest::qWait(200);
    EXPECT_EQ(performed.size(), 2u);

    // The same set again (a recorder let go without a change) is not sent again.
    manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}, {"docx", kCommandF5}});
    QTest::qWait(300);
    EXPECT_EQ(portal.calls(QStringLiteral("BindShortcuts")).size(), 1);

    // A changed set replaces the whole set in one more call, on the same session.
    manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}, {"txt", kControlOptionT}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls(QStringLiteral("BindShortcuts")).size() == 2; }, 5000));
    binds = portal.calls(QStringLiteral("BindShortcuts"));
    EXPECT_EQ(binds[1].toObject().value(QStringLiteral("session")), binds[0].toObject().value(QStringLiteral("session")));
    EXPECT_EQ(boundShortcuts(binds[1]).size(), 3u);
    EXPECT_EQ(boundShortcuts(binds[1])[1], (std::vector<std::string>{"create-txt", "New Text File", "CTRL+ALT+T"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Registered Ctrl+Alt+T hot key"); }, 5000));

    // The portal leaves a shortcut of a changed set out: a new session, opened with the whole
    // set, decides; left out there too, that one is taken and the others work.
    sink->clear();
    portal.leaveOut({QStringLiteral("create-txt")});
    manager.registerShortcuts(defaultQuickCreateShortcut, {{"txt", kControlOptionT}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Failed to register Ctrl+Alt+T hot key: -9878"); }, 5000))
        << ::testing::PrintToString(sink->lines());
    EXPECT_TRUE(sink->contains("Registered Ctrl+Alt+N hot key"));
    EXPECT_EQ(manager.actionsByID().count(GlobalHotKeyManager::kQuickCreateID), 1u);
    EXPECT_EQ(manager.actionsByID().size(), 1u);
    QTest::qWait(300);
    EXPECT_EQ(portal.calls(QStringLiteral("CreateSession")).size(), 2);
    EXPECT_EQ(portal.calls(QStringLiteral("Close")).size(), 1);
    EXPECT_EQ(portal.calls(QStringLiteral("BindShortcuts")).size(), 4) << "the new session's answer is not questioned";
    portal.leaveOut({});

    // The user turns the dialog down: nothing of the set is registered, and the log says so.
    sink->clear();
    portal.answerNextBind(1, {});
    manager.registerShortcuts(kControlShiftM, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Failed to register Ctrl+Shift+M hot key: -128"); }, 5000))
        << ::testing::PrintToString(sink->lines());
    EXPECT_TRUE(manager.actionsByID().empty());
    portal.activate(QStringLiteral("quick-create"));
    QTest::qWait(300);
    EXPECT_EQ(performed.size(), 2u);
    EXPECT_EQ(portal.calls(QStringLiteral("BindShortcuts")).size(), 5) << "a refusal is not asked again by itself";
}

// KDE's portal before Plasma 6.1 binds only what CreateSession names and answers BindShortcuts
// with the session's set: the first set binds through the session, a changed one through a new
// session, and presses still arrive.
TEST(PortalHotKeyService, BindsOnAPortalThatTakesShortcutsOnlyWhenASessionOpens) {
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    test::PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    StandInPortal portal(bus, {QStringLiteral("session-set")});
    ASSERT_TRUE(portal.waitUntilReady());
    portal.attach(bus.connect(QStringLiteral("portal-control")));
    PortalHotKeyService service(bus.connect(QStringLiteral("portal-client")));
    QtMainQueue queue;
    std::vector<HotKeyAction> performed;
    GlobalHotKeyManager manager(service, queue, [&](const HotKeyAction& action) { performed.push_back(action); });

    manager.registerShortcuts(defaultQuickCreateShortcut, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Registered Ctrl+Alt+N hot key"); }, 5000))
        << ::testing::PrintToString(sink->lines());
    const QJsonArray created = portal.calls(QStringLiteral("CreateSession"));
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(boundShortcuts(created[0]),
              (std::vector<std::vector<std::string>>{{"quick-create", "Show Quick Create", "CTRL+ALT+N"}}));

    manager.registerShortcuts(defaultQuickCreateShortcut, {{"md", kControlShiftM}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Registered Ctrl+Shift+M hot key"); }, 5000))
        << ::testing::PrintToString(sink->lines());
    EXPECT_FALSE(sink->contains("Failed to register"));
    EXPECT_EQ(portal.calls(QStringLiteral("CreateSession")).size(), 2);
    EXPECT_EQ(portal.calls(QStringLiteral("Close")).size(), 1);
    portal.activate(QStringLiteral("create-md"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !performed.empty(); }, 5000));
    EXPECT_EQ(performed, std::vector<HotKeyAction>{HotKeyAction::createFile("md")});
}

TEST(PortalHotKeyService, ClosesItsSessionWhenReleased) {
    test::PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    StandInPortal portal(bus);
    ASSERT_TRUE(portal.waitUntilReady());
    portal.attach(bus.connect(QStringLiteral("portal-control")));
    {
        auto sink = std::make_shared<MemoryLogSink>();
        ScopedLogSink scoped(sink);
        PortalHotKeyService service(bus.connect(QStringLiteral("portal-client")));
        QtMainQueue queue;
        GlobalHotKeyManager manager(service, queue, [](const HotKeyAction&) {});
        manager.registerShortcuts(defaultQuickCreateShortcut, {});
        ASSERT_TRUE(QTest::qWaitFor([&] { return sink->contains("Registered Ctrl+Alt+N hot key"); }, 5000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls(QStringLiteral("Close")).size() == 1; }, 5000));
    EXPECT_EQ(portal.calls(QStringLiteral("Close"))[0].toObject().value(QStringLiteral("session")),
              portal.calls(QStringLiteral("BindShortcuts"))[0].toObject().value(QStringLiteral("session")));
}

}  // namespace
}  // namespace quillet
