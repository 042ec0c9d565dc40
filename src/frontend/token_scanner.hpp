// The lexer's scanners for operators, numbers, strings and character
// constants. Each reads from a
// CharSource, pushes back the first character that is not part of the token
// and reports lexical errors through the source with severity 4.
#pragma once

#include <string>

#include "preprocessor/char_source.hpp"

namespace qor {

struct ScannedToken {
    int code = 0;        // Token code or a single character's code
    std::string text;    // the token text as read
    std::string op;      // for ASSIGNMENT the operator ("+=", "<<=", ...), for a lone '=' the text "="; empty otherwise
};

// Operators. `first` (one of ! % & * + - / : < = > ^ |)
// was already read by the caller; at most two more characters are read, and
// the one that does not belong to the operator is pushed back. A lone '<' is
// LT, a lone '>' GT; the digraphs <% %> <: :> give { } [ ] with their two
// characters as text. Any other `first` is returned alone without reading.
ScannedToken scan_operator(int first, CharSource& input);

// What a number may hold beyond the classic forms. C23 adds digit
// separators (1'000'000, 0x1'F), the suffixes of _BitInt constants (wb,
// uwb in either case and order) and those of decimal floating constants
// (df, dd, dl).
enum class NumberSyntax { Classic, C23 };

// Numbers. `first` is a digit or '.'; the result is CONSTANT, or for a '.'
// that does not start a number '.' or POINT_POINT_POINT.
ScannedToken scan_number(int first, CharSource& input, NumberSyntax syntax = NumberSyntax::Classic);

// Strings and character constants. `quote` ('"' or '\'') was already read; `prefix` is "L", "l" or
// empty and starts the text. Reads up to the closing quote (stored in the
// text) or the end of input, with the source told that it is inside a
// literal. Strings give STRING, character constants CONSTANT.
ScannedToken scan_literal(int quote, std::string prefix, CharSource& input);

}  // namespace qor
