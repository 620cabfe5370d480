#include "platform/linux/QtApplicationTermination.h"

#include <QCoreApplication>

namespace quillet {

// exit(), not quit(): in Qt 6 quit() first asks every window to close, and an open walkthrough
// or alert would keep the application running.
void QtApplicationTermination::terminate() { QCoreApplication::exit(0); }

}  // namespace quillet
