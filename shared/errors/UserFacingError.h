#pragma once

#include <stdexcept>
#include <string>

namespace quillet {

// An error whose description is the text the user sees. Every error that travels to a controller
// that talks to the user derives from this one base, so each such controller catches it once.
class UserFacingError : public std::runtime_error {
public:
    const std::string& description() const { return description_; }

protected:
    explicit UserFacingError(std::string description)
        : std::runtime_error(description), description_(std::move(description)) {}

private:
    std::string description_;
};

}  // namespace quillet
