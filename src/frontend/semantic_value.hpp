// The value of a grammar symbol, as the parser's stacks hold it.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/token_id.hpp"

namespace qor {

// Trivially copyable: the parser's stacks move values with memcpy when
// they grow.
struct SemanticValue {
    const std::string* str;   // identifier, constant or string text
    const std::string* text;  // an operator's or a condition's text
    double path;              // number of paths through a statement; -1 when not computed
    double recorded;          // running path count recorded at a head or label
    uint32_t kwflags;         // keyword flags, then declaration specifier bits
    int line;                 // line of the first token
    int end_line;             // line of the last token
    int mark;                 // 1 for a case statement whose label opened a path
    int params;               // parameter list of a function declarator, or -1
    int capture_start;        // where a condition's text starts in the token log
    TokenId token;            // in an instrumented file: the token's number, or an
                              // expression's first token's (the default action copies it)
    int decision;             // a decision number handed from a condition to its head
    int condition;            // with condition coverage: the expression's logical
                              // operator node, or 0
    bool counted;             // the token is file text, not expansion text
    bool returns;             // the statement is a return
    bool opened_path;         // a case label that opened a new case path
    bool pending_operand;     // an identifier not yet counted (it may be a callee)
    bool nothing;             // an empty alternative (no declarator, no statement)
};

// The value of a symbol that carries nothing: one path, no parameter list,
// no captured text.
inline SemanticValue empty_value() {
    SemanticValue value{};
    value.path = 1.0;
    value.params = -1;
    value.capture_start = -1;
    return value;
}

}  // namespace qor
