#include "platform/linux/QtApplicationTermination.h"

#include <QCoreApplication>

namespace quillet {

void QtApplicationTermination::terminate() { QCoreApplication::quit(); }

}  // namespace quillet
