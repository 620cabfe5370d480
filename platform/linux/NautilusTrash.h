#pragma once

#include <QDBusConnection>
#include <QObject>

#include "platform/TrashAttempt.h"

namespace quillet {

// Asks Nautilus over the session bus to trash the item, as its own Delete command does. The
// path travels as a typed argument (a percent-encoded file URI), so no character of it needs
// quoting. Bus activation starts Nautilus when it does not run. Nautilus answers once it has
// taken the request, which may include a question it asks its user (hence the long limit), but
// its move may still be under way: the completion waits until nothing is left at the item's
// path, or until a few seconds have passed, and runs on the main thread.
class NautilusTrash final : public QObject, public TrashAttempt {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.gnome.Nautilus";
    static constexpr const char* kObjectPath = "/org/gnome/Nautilus/FileOperations2";
    static constexpr const char* kInterface = "org.gnome.Nautilus.FileOperations2";
    static constexpr int kCallTimeoutMilliseconds = 5 * 60 * 1000;
    static constexpr int kCheckIntervalMilliseconds = 100;
    static constexpr int kChecksAfterReply = 50;

    explicit NautilusTrash(QDBusConnection bus, QObject* parent = nullptr);
    void trash(const std::filesystem::path& item, Completion completion) override;

private:
    void awaitGone(const std::filesystem::path& item, const Completion& completion, int checksLeft);

    QDBusConnection bus_;
};

}  // namespace quillet
