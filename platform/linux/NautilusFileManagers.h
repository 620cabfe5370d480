#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QList>

#include "platform/RunningFileManagers.h"

namespace quillet {

// Nautilus, the desktop's file manager, as the process that owns its name on the session bus
// (a GApplication runs once per session, so there is one at most). Quitting goes through its
// "kill" action, as "nautilus --quit" does: its "quit" action only closes the windows, and a
// Nautilus running as a service then lingers for its idle timeout, longer than the uninstaller
// waits. Forcing is SIGKILL; it counts as ended once its process
// is gone or the name has no owner. It is started again by bus activation, which runs it as a
// background service without opening a window.
class NautilusFileManagers final : public RunningFileManagers {
public:
    static constexpr const char* kServiceName = "org.gnome.Nautilus";
    static constexpr const char* kObjectPath = "/org/gnome/Nautilus";
    static constexpr int kCallTimeoutMilliseconds = 2000;
    // Starting it can take a few seconds; the request is awaited at the latest when this
    // adapter is destroyed, so it leaves the process even when the application ends at once.
    static constexpr int kActivationTimeoutMilliseconds = 25000;

    explicit NautilusFileManagers(QDBusConnection bus);
    ~NautilusFileManagers() override;
    NautilusFileManagers(const NautilusFileManagers&) = delete;
    NautilusFileManagers& operator=(const NautilusFileManagers&) = delete;

    std::vector<RunningFileManager> running() override;
    bool terminate(const RunningFileManager& instance) override;
    void forceTerminate(const RunningFileManager& instance) override;
    bool isTerminated(const RunningFileManager& instance) override;
    void relaunch() override;

private:
    QDBusConnection bus_;
    QList<QDBusPendingCall> activations_;
};

// Whether the process has ended: no such process, or one that has exited and only waits to be
// reaped by its parent.
bool processHasEnded(std::int64_t processIdentifier);

}  // namespace quillet
