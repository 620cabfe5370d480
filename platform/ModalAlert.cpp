#include "platform/ModalAlert.h"

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

}  // namespace quillet
