// What the lexer tells the measuring and the instrumenting sides: the
// open component, counted occurrences, comments and macro uses, ignored
// regions, and the text that an instrumented file echoes. Every call has
// a neutral default so that a side that is not there receives nothing.
#pragma once

#include <string>
#include <string_view>

#include "preprocessor/preprocessor.hpp"

namespace qor {

// What a counted occurrence is to the Halstead counts.
enum class Occurrence { Operand, Operator };

class LexerClient {
public:
    virtual ~LexerClient() = default;

    virtual bool component_open() const { return false; }

    virtual void count_occurrence(const std::string&, Occurrence) {}
    // The comments read since the previous token, inside a component or
    // outside one (only while there are some or there were some before
    // the previous token).
    virtual void comments_inside(const CommentCounts&) {}
    virtual void comments_outside(const CommentCounts&) {}
    // A macro used in the text, counted whether or not a component is open.
    virtual void macro_use(bool /*function_like*/) {}
    // A counted ignored region inside a component (an ENAD node, unless
    // the last node is one already).
    virtual void mark_ignored_region(const std::string&, int) {}

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
