#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

enum class AlertStyle { warning, critical };

std::string_view rawValue(AlertStyle style);
std::optional<AlertStyle> alertStyleFromRawValue(std::string_view raw);

// What a modal alert says: a short message, the explanation beneath it, and how grave it is.
struct Alert {
    std::string messageText;
    std::string informativeText;
    AlertStyle style = AlertStyle::warning;
    // A question whose first answer destroys something: Return then answers with the last
    // button (Cancel), so a hurried key press never does the destructive thing.
    bool cancelIsDefault = false;

    bool operator==(const Alert&) const = default;
};

// The alert and its buttons in the session's language, as every alert shows them: a text of the
// catalogue is translated, one made of other texts was translated when it was made and stays.
Alert inSessionLanguage(const Alert& alert);
std::vector<std::string> inSessionLanguage(const std::vector<std::string>& buttons);

// Shows an alert and returns once the user has answered it.
class ModalAlert {
public:
    virtual ~ModalAlert() = default;
    // One default button, "OK".
    virtual void runModal(const Alert& alert) = 0;
    // A question: the buttons in the order given, the first the default one (Return; the last
    // when the alert says Cancel is the default) and the last the one that closing the alert or
    // Escape stands for. Returns the index of the button
    // chosen.
    virtual std::size_t runModal(const Alert& alert, const std::vector<std::string>& buttons) = 0;
};

}  // namespace quillet
