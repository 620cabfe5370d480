#pragma once

#include <iosfwd>

#include "platform/ModalAlert.h"

namespace quillet {

// The alert of a process without a display (the command line, a headless session): the
// message on one line, the informative text on the next, on standard error. A question lists
// its buttons and reads the answer from standard input: a button's title (in any case), or an
// empty line for the default one; the end of the input stands for the last button, so a run
// with nobody to answer changes nothing.
class StderrModalAlert : public ModalAlert {
public:
    StderrModalAlert();
    explicit StderrModalAlert(std::ostream& stream);
    StderrModalAlert(std::ostream& stream, std::istream& answers);
    void runModal(const Alert& alert) override;
    std::size_t runModal(const Alert& alert, const std::vector<std::string>& buttons) override;

private:
    std::ostream& stream_;
    std::istream& answers_;
};

}  // namespace quillet
