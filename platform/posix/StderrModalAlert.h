#pragma once

#include <iosfwd>

#include "platform/ModalAlert.h"

namespace quillet {

// The alert of a process without a display (the command line, a headless session): the
// message on one line, the informative text on the next, on standard error.
class StderrModalAlert : public ModalAlert {
public:
    StderrModalAlert();
    explicit StderrModalAlert(std::ostream& stream);
    void runModal(const Alert& alert) override;

private:
    std::ostream& stream_;
};

}  // namespace quillet
