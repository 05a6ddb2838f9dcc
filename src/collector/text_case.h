#pragma once

#include <string>
#include <string_view>

namespace tarsik {

// ASCII case mapping; other bytes (the UTF-8 of "°") pass unchanged.
std::string lowerCased(std::string_view text);
std::string upperCased(std::string_view text);

inline bool contains(std::string_view text, std::string_view fragment) {
    return text.find(fragment) != std::string_view::npos;
}

} // namespace tarsik
