#include "platform/linux/QtApplicationLifecycle.h"

#include <QCoreApplication>

namespace quillet {

// exit(), not quit(): in Qt 6 quit() first asks every window to close, and an open walkthrough,
// alert or window must not keep the application (or the old version) running.
void QtApplicationLifecycle::terminate() { QCoreApplication::exit(0); }

void QtApplicationLifecycle::relaunch(const std::filesystem::path& executable) {
    pending_ = executable;
    QCoreApplication::exit(0);
}

}  // namespace quillet
