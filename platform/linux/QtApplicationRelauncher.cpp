#include "platform/linux/QtApplicationRelauncher.h"

#include <QCoreApplication>

namespace quillet {

void QtApplicationRelauncher::relaunch(const std::filesystem::path& executable) {
    pending_ = executable;
    // exit(), not quit(): an open window must not keep the old version running.
    QCoreApplication::exit(0);
}

}  // namespace quillet
