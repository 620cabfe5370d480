#include "platform/ModalAlert.h"

#include "shared/text/Translation.h"

namespace quillet {

std::string_view rawValue(AlertStyle style) {
    switch (style) {
        case AlertStyle::warning: return "warning";
        case AlertStyle::critical: return "critical";
    }
    return {};
}

std::optional<AlertStyle> alertStyleFromRawValue(std::string_view raw) {
    for (auto style : {AlertStyle::warning, AlertStyle::critical})
        if (rawValue(style) == raw) return style;
    return std::nullopt;
}

Alert inSessionLanguage(const Alert& alert) {
    Alert shown = alert;
    shown.messageText = translate(alert.messageText.c_str());
    shown.informativeText = translate(alert.informativeText.c_str());
    return shown;
}

std::vector<std::string> inSessionLanguage(const std::vector<std::string>& buttons) {
    std::vector<std::string> shown;
    shown.reserve(buttons.size());
    for (const auto& button : buttons) shown.emplace_back(translate(button.c_str()));
    return shown;
}

}  // namespace quillet
