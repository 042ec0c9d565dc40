// ASCII character classes, independent of the locale: C text is read as
// bytes, and a byte above 127 is never a letter or a digit.
#pragma once

#include <string_view>

namespace qor {

inline bool is_ascii_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_ascii_digit(int c) { return c >= '0' && c <= '9'; }
inline bool is_ascii_alnum(int c) { return is_ascii_letter(c) || is_ascii_digit(c); }

// What the C locale's isspace takes: blanks and line ends.
inline bool is_ascii_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
// C's isblank.
inline bool is_space_or_tab(int c) { return c == ' ' || c == '\t'; }
// The blanks within a line of C text; a backspace counts as one.
inline bool is_line_blank(int c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\b'; }

// Identifiers as the preprocessors take them: '$' is a letter.
inline bool is_c_identifier_start(int c) { return is_ascii_letter(c) || c == '_' || c == '$'; }
inline bool is_c_identifier_char(int c) { return is_c_identifier_start(c) || is_ascii_digit(c); }
// A character of a word of the analysed text: C's identifier characters
// and the '@' that some embedded compilers write in their qualifiers.
inline bool is_word_char(int c) { return is_c_identifier_char(c) || c == '@'; }
inline bool is_c_identifier(std::string_view text) {
    if (text.empty() || !is_c_identifier_start(text[0])) return false;
    for (char c : text)
        if (!is_c_identifier_char(c)) return false;
    return true;
}

}  // namespace qor
