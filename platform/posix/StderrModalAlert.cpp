#include "platform/posix/StderrModalAlert.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace quillet {

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

}  // namespace

StderrModalAlert::StderrModalAlert() : stream_(std::cerr), answers_(std::cin) {}

StderrModalAlert::StderrModalAlert(std::ostream& stream) : stream_(stream), answers_(std::cin) {}

StderrModalAlert::StderrModalAlert(std::ostream& stream, std::istream& answers) : stream_(stream), answers_(answers) {}

void StderrModalAlert::runModal(const Alert& english) {
    const Alert alert = inSessionLanguage(english);
    stream_ << alert.messageText << '\n';
    if (!alert.informativeText.empty()) stream_ << alert.informativeText << '\n';
    stream_.flush();
}

std::size_t StderrModalAlert::runModal(const Alert& alert, const std::vector<std::string>& englishButtons) {
    runModal(alert);
    const std::vector<std::string> buttons = inSessionLanguage(englishButtons);
    if (buttons.empty()) return 0;
    std::string choices;
    for (const auto& button : buttons) choices += (choices.empty() ? "" : " / ") + button;
    const std::size_t fallback = alert.cancelIsDefault ? buttons.size() - 1 : 0;
    for (;;) {
        stream_ << choices << " [" << buttons[fallback] << "]: ";
        stream_.flush();
        std::string answer;
        if (!std::getline(answers_, answer)) {
            stream_ << '\n';
            return buttons.size() - 1;
        }
        if (answer.empty()) return fallback;
        for (std::size_t i = 0; i < buttons.size(); ++i)
            if (sameIgnoringCase(answer, buttons[i])) return i;
    }
}

}  // namespace quillet
