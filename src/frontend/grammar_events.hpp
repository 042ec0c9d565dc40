// What the grammar's actions tell the rest of the analysis: the events of
// declarations, statements, decisions and expressions, and the tokens as
// the parser reads them. The measuring side answers the events that give
// a symbol its value (its paths, its captured text); the instrumenting
// side, in dynamic mode only, wraps it and places its probes by the same
// events. The front end itself keeps only what parsing needs.
#pragma once

#include <string>
#include <string_view>

#include "frontend/lexer_client.hpp"
#include "frontend/semantic_value.hpp"

namespace qor {

// The operators that make a condition out of their operands.
enum class Conditional { And, Or, Ternary };

// A function definition whose body begins.
struct FunctionStart {
    std::string name;
    int line = 0;          // the declarator's line
    int current_line = 0;  // where the parser is (the body's brace)
    bool is_static = false;
    bool is_inline = false;
    int parameters = -1;  // the declared parameters; -1 without a parameter list
};

class GrammarEvents : public LexerClient {
public:
    // --- tokens ---
    // The parser's lookahead slot: whether a token is pending tells which
    // tokens the parser has consumed when an action runs.
    virtual void watch_lookahead(const int* /*lookahead*/) {}
    // Around the lexer's reading of each token; `value` is the token's
    // value, `text` its text as the compiler sees it.
    virtual void reading_token() {}
    virtual void token_read(SemanticValue& /*value*/, std::string_view /*text*/) {}

    // --- expressions ---
    virtual void operand(const SemanticValue& token) = 0;
    virtual void op(std::string_view text, const SemanticValue& token) = 0;
    // An identifier expression used as anything but a callee counts now.
    virtual void use_primary(const SemanticValue& primary) = 0;
    virtual void call(const SemanticValue& callee, const SemanticValue& paren) = 0;
    virtual void logical(Conditional kind, const SemanticValue& token) = 0;
    // The logical operator node that `left` && `right` (or ||) or '!'
    // `operand` makes: its handle for the expression's value, or 0 without
    // condition coverage. Parentheses keep the node.
    virtual int logical_operator(Conditional kind, const SemanticValue& left, const SemanticValue& op,
                                 const SemanticValue& right) = 0;
    virtual int logical_not(const SemanticValue& op, const SemanticValue& operand) = 0;
    virtual int parenthesized(const SemanticValue& open, const SemanticValue& inner) = 0;
    // The operand of sizeof or _Alignof that ends here, from `keyword`:
    // its operators are not evaluated and stay as they are.
    virtual void unevaluated(const SemanticValue& keyword) = 0;
    // A built-in whose arguments may be types (`keyword` to here).
    virtual SemanticValue builtin_with_types(const SemanticValue& keyword) = 0;
    // Where a condition's or a case label's text starts.
    virtual SemanticValue capture_mark() const = 0;

    // --- declarations and functions ---
    // An object (not a type name) declared.
    virtual void object_declared() = 0;
    virtual void function_begin(const FunctionStart& start) = 0;
    virtual void function_end(const SemanticValue& body) = 0;
    // A function whose end the parser never reached is closed where the
    // text stopped: at the next external definition or the end of the text.
    virtual void close_abandoned_function() = 0;
    // GNU C's nested function, from the '{' of its body to its '}': part
    // of the function around it, whose flow it does not take part in.
    virtual void nested_function_begin(const SemanticValue& brace) = 0;
    virtual void nested_function_end(const SemanticValue& close) = 0;
    // Lines that the parser's error recovery swallowed.
    virtual void recovery_lines(int lines) = 0;

    // --- statements ---
    // The first action of every statement-level construct.
    virtual void statement_start() = 0;
    // The '{' of a block; the first one of a function is its body's.
    virtual void open_block(const SemanticValue& brace) = 0;
    virtual SemanticValue simple_statement(const SemanticValue& first, int end_line,
                                           const SemanticValue& semicolon) = 0;
    // An expression statement, before simple_statement.
    virtual void expression_statement(const SemanticValue& expression) = 0;
    virtual SemanticValue asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon) = 0;
    // GNU C's asm goto: each label of its list, then the statement, which
    // may jump to any of them.
    virtual void asm_jump_target(const SemanticValue& label) = 0;
    virtual SemanticValue asm_goto_statement(const SemanticValue& keyword, const SemanticValue& semicolon) = 0;
    virtual SemanticValue empty_block(const SemanticValue& open, const SemanticValue& close) = 0;
    virtual SemanticValue block(const SemanticValue& open, const SemanticValue& body, const SemanticValue& close) = 0;
    // A statement after others: its paths multiply those before it.
    virtual SemanticValue sequence(const SemanticValue& before, const SemanticValue& mark,
                                   const SemanticValue& next) = 0;
    virtual SemanticValue record_running() const = 0;

    // An if: its head value carries the condition and the recorded count;
    // the if part adds the branch's count, mark and end.
    virtual void if_start() = 0;
    virtual SemanticValue if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                       const SemanticValue& condition) = 0;
    virtual SemanticValue if_part(const SemanticValue& head, const SemanticValue& branch) const = 0;
    virtual SemanticValue if_without_else(const SemanticValue& if_part) = 0;
    virtual void else_start(const SemanticValue& if_part, const SemanticValue& keyword) = 0;
    virtual SemanticValue if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise) = 0;

    // The keyword of a while or for loop.
    virtual void loop_start(const SemanticValue& keyword) = 0;
    virtual SemanticValue while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                          const SemanticValue& condition) = 0;
    virtual SemanticValue while_end(const SemanticValue& head, const SemanticValue& body,
                                    const SemanticValue& keyword) = 0;
    virtual SemanticValue do_start(const SemanticValue& keyword) = 0;
    virtual void do_while(const SemanticValue& keyword, const SemanticValue& paren) = 0;
    virtual SemanticValue do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                       const SemanticValue& condition) = 0;
    // `head` carries the condition's text; the statement ends on `end_line`.
    virtual SemanticValue do_end(const SemanticValue& head, const SemanticValue& body, const SemanticValue& keyword,
                                 int end_line) = 0;
    // The clauses of a for: the first one, the condition (ending with
    // `semicolon`) and the step (ending with `paren`).
    virtual void for_init(const SemanticValue& keyword, const SemanticValue& clause) = 0;
    virtual SemanticValue for_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                        const SemanticValue& condition, const SemanticValue& semicolon) = 0;
    virtual SemanticValue for_head(const SemanticValue& keyword, const SemanticValue& condition,
                                   const SemanticValue& step, const SemanticValue& paren) = 0;
    virtual SemanticValue for_end(const SemanticValue& head, const SemanticValue& body,
                                  const SemanticValue& keyword) = 0;

    virtual void switch_start(const SemanticValue& keyword) = 0;
    virtual SemanticValue switch_head(const SemanticValue& keyword, const SemanticValue& capture,
                                      const SemanticValue& expression) = 0;
    virtual SemanticValue switch_end(const SemanticValue& head, const SemanticValue& body) = 0;
    virtual SemanticValue case_label(const SemanticValue& capture, const SemanticValue& keyword) = 0;
    virtual SemanticValue default_label(const SemanticValue& keyword) = 0;
    virtual SemanticValue labelled_case(const SemanticValue& label, const SemanticValue& statement) = 0;

    virtual SemanticValue break_statement(const SemanticValue& keyword, const SemanticValue& semicolon) = 0;
    virtual SemanticValue continue_statement(const SemanticValue& keyword, const SemanticValue& semicolon) = 0;
    virtual SemanticValue return_statement(const SemanticValue& keyword, const SemanticValue& semicolon) = 0;
    // The expression of `return expression;`, before the statement.
    virtual void return_expression(const SemanticValue& keyword, const SemanticValue& expression,
                                   const SemanticValue& semicolon) = 0;
    virtual SemanticValue goto_statement(const SemanticValue& keyword, const SemanticValue& label,
                                         const SemanticValue& semicolon) = 0;
    // GNU C's labels as values: `op` `name` takes a label's address, and
    // "goto *expression;" jumps to a computed one, any label whose address
    // the function takes.
    virtual void label_address(const SemanticValue& op, const SemanticValue& name) = 0;
    virtual SemanticValue computed_goto(const SemanticValue& keyword, const SemanticValue& star,
                                        const SemanticValue& semicolon) = 0;
    virtual SemanticValue leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon) = 0;
    virtual void label(const SemanticValue& name) = 0;
    // A label that ends the statement list stands on a node of its own.
    virtual SemanticValue labelled_statement(const SemanticValue& name, const SemanticValue& statement) = 0;
    virtual void except_filter(const SemanticValue& keyword, const SemanticValue& filter) = 0;
};

}  // namespace qor
