// What the lexer asks of and tells the rest of the analysis: the open
// component, typedef names, counted occurrences and totals, control
// nodes for ignored regions, dependencies, and the instrumented output.
// Every call has a neutral default so that a part not yet present simply
// receives nothing.
#pragma once

#include <string>
#include <string_view>

#include "analysis/component_totals.hpp"

namespace qor {

// Kinds of counted occurrences.
inline constexpr int kOperandOccurrence = 3;
inline constexpr int kOperatorOccurrence = 5;

class LexerClient {
public:
    virtual ~LexerClient() = default;

    virtual bool component_open() const { return false; }
    // Whether the name is declared as a type name in the innermost scope
    // that declares it.
    virtual bool is_type_name(const std::string&) const { return false; }

    virtual void count_occurrence(const std::string&, int) {}
    virtual void add_total(Total, int) {}
    virtual void set_total(Total, int) {}
    // A counted ignored region inside a component (an ENAD node, unless
    // the last node is one already).
    virtual void mark_ignored_region(const std::string&, int) {}
    // A file that the preprocessed text included.
    virtual void add_dependency(const std::string&) {}

    // Instrumentation: token texts and skipped text are echoed, and the
    // capture buffers receive the token texts.
    virtual bool instrumenting() const { return false; }
    virtual void echo(std::string_view) {}
    // A token's text with the blank that follows it.
    virtual void echo_token(std::string_view text) { echo(text); }
    virtual void capture(std::string_view, bool) {}
    // A line marker of the preprocessed text: its line number, file name
    // and flags as written after the '#'.
    virtual void line_marker(std::string_view) {}
};

}  // namespace qor
