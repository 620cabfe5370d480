#include "platform/linux/QtApplicationRelauncher.h"

#include <QCoreApplication>

namespace quillet {

void QtApplicationRelauncher::relaunch(const std::filesystem::path& executable) {
    pending_ = executable;
    QCoreApplication::quit();
}

}  // namespace quillet
