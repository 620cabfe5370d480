#pragma once

#include <optional>
#include <string>
#include <string_view>

// Standard library only: this file is also compiled into the file-manager extension.
namespace quillet {

// Encodes bytes as a URL query component: every byte except the unreserved ASCII characters
// (letters, digits, "-", ".", "_", "~") and "/" becomes %XX with upper-case hex digits. So "+",
// "&", "=", "#", "%", spaces and every non-ASCII byte are always escaped and a "+" can never be
// mistaken for a space. Paths are bytes: non-UTF-8 names survive too.
std::string percentEncodeQueryComponent(std::string_view bytes);

// The inverse: %XX becomes its byte, every other character stands for itself ("+" stays "+").
// Nothing when a "%" is not followed by two hex digits.
std::optional<std::string> percentDecode(std::string_view text);

}  // namespace quillet
