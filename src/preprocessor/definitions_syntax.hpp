// The syntax of the predefined-macros file (<DIALECT>.def), read the same
// way by the internal preprocessor and by full_prepro. One entry a line:
//   D name body | D name(a, b) body   a macro
//   I directory                       an include directory
//   E directory                       read and ignored
//   A name (text)                     an assertion
// Blank lines and lines starting with "//" or "/*" are skipped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qor {

// The blanks of a line of the file: those of C text and '\r' (a file written
// with DOS line ends may hold one before a line end).
bool is_definitions_blank(char c);

// What the reader finds, line by line and in file order.
class DefinitionsHandler {
public:
    virtual ~DefinitionsHandler() = default;
    // `parameters` is "(a, b)" as written; none for an object-like macro.
    virtual void macro(unsigned line, std::string_view name, std::optional<std::string_view> parameters,
                       std::string_view body) = 0;
    // Up to the end or '(', trailing blanks dropped; may be empty.
    virtual void include_directory(std::string_view directory) = 0;
    // "name(text)" with blank runs made single and the blanks before the
    // closing parenthesis dropped.
    virtual void assertion(std::string_view predicate) = 0;
    // A malformed line, skipped.
    virtual void syntax_error(unsigned line) = 0;
};

struct DefinitionsSyntax {
    // Whether a D line's name must be an identifier. qor_cc has always taken
    // any word as the name and full_prepro has always refused a non-identifier;
    // each keeps its output.
    bool macro_names_checked = false;
    // Whether a '\r' ends a last line that has no line end, as it ends every
    // other line. qor_cc has always kept it there (in the body of a macro on
    // that line); full_prepro drops it.
    bool last_line_cr_dropped = false;
};

// The whole text of the file at `path`; none when it cannot be opened.
std::optional<std::string> definitions_text(const std::string& path);

// Reads the whole text of the file; the '\r' before a line end is dropped.
void read_definition_lines(std::string_view text, const DefinitionsSyntax& syntax, DefinitionsHandler& handler);

}  // namespace qor
