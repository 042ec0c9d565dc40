// The character stream that the preprocessor delivers to its readers: the
// lexer, the #if evaluator and the ignore-sequence matcher.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// read_char's value at the end of the outermost input. A NUL byte of the
// text is delivered as 0 like any other character.
inline constexpr int kEndOfInput = -1;

class CharSource {
public:
    virtual ~CharSource() = default;
    // The next character with comments removed, trigraphs replaced and
    // carriage returns dropped; kEndOfInput at the end.
    virtual int read_char() = 0;
    // Pushes back one character (kEndOfInput is ignored).
    virtual void unread_char(int c) = 0;
    // Pushes back a text that is read before anything else.
    virtual void unread_text(std::string_view text) = 0;
    // While on, comment openers are ordinary characters (inside literals).
    virtual void set_in_literal(bool on) = 0;
    // Reports a message at the current display file and line
    // (1 warning, 2 error, 3 fatal, 4 lexical error).
    virtual void report(int severity, std::string_view message) = 0;
};

}  // namespace qor
