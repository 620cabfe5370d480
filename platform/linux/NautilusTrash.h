#pragma once

#include <QDBusConnection>
#include <QObject>

#include "platform/TrashAttempt.h"

namespace quillet {

// Asks Nautilus over the session bus to trash the item, as its own Delete command does. The
// path travels as a typed argument (a percent-encoded file URI), so no character of it needs
// quoting. Bus activation starts Nautilus when it does not run. The answer comes when the
// operation has ended, which may include a question Nautilus asks its user, hence the long
// limit; the completion then runs on the main thread.
class NautilusTrash final : public QObject, public TrashAttempt {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.gnome.Nautilus";
    static constexpr const char* kObjectPath = "/org/gnome/Nautilus/FileOperations2";
    static constexpr const char* kInterface = "org.gnome.Nautilus.FileOperations2";
    static constexpr int kCallTimeoutMilliseconds = 5 * 60 * 1000;

    explicit NautilusTrash(QDBusConnection bus, QObject* parent = nullptr);
    void trash(const std::filesystem::path& item, Completion completion) override;

private:
    QDBusConnection bus_;
};

}  // namespace quillet
