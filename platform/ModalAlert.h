#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

enum class AlertStyle { warning, critical };

std::string_view rawValue(AlertStyle style);
std::optional<AlertStyle> alertStyleFromRawValue(std::string_view raw);

// What a modal alert says: a short message, the explanation beneath it, and how grave it is.
struct Alert {
    std::string messageText;
    std::string informativeText;
    AlertStyle style = AlertStyle::warning;

    bool operator==(const Alert&) const = default;
};

// Shows an alert with one default button, "OK", and returns once the user has dismissed it.
class ModalAlert {
public:
    virtual ~ModalAlert() = default;
    virtual void runModal(const Alert& alert) = 0;
};

}  // namespace quillet
