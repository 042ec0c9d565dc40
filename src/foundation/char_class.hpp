// ASCII character classes, independent of the locale: C text is read as
// bytes, and a byte above 127 is never a letter or a digit.
#pragma once

namespace qor {

inline bool is_ascii_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_ascii_digit(int c) { return c >= '0' && c <= '9'; }
inline bool is_ascii_alnum(int c) { return is_ascii_letter(c) || is_ascii_digit(c); }

}  // namespace qor
