#include "platform/posix/StderrModalAlert.h"

#include <iostream>

namespace quillet {

StderrModalAlert::StderrModalAlert() : stream_(std::cerr) {}

StderrModalAlert::StderrModalAlert(std::ostream& stream) : stream_(stream) {}

void StderrModalAlert::runModal(const Alert& alert) {
    stream_ << alert.messageText << '\n';
    if (!alert.informativeText.empty()) stream_ << alert.informativeText << '\n';
    stream_.flush();
}

}  // namespace quillet
