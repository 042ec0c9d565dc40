// C identifiers as this preprocessor accepts them ('$' included).
#pragma once

#include <string_view>

namespace full_prepro {

inline bool is_identifier_start(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

inline bool is_identifier(std::string_view text) {
    if (text.empty() || !is_identifier_start(text[0])) return false;
    for (char c : text)
        if (!is_identifier_start(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

}  // namespace full_prepro
