// The grammar events of an instrumented file: each goes to the measuring
// side first (or last, where the probe must see the component still
// open), and the probes of the construct are placed by the tokens the
// parser has consumed. Decisions with logical operators are rewritten for
// condition coverage. Dynamic mode only: static mode does without it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/measuring_events.hpp"
#include "instrument/emitter.hpp"
#include "instrument/line_flow.hpp"
#include "instrument/logical_nodes.hpp"

namespace qor {

class ProbingEvents : public GrammarEvents {
public:
    ProbingEvents(MeasuringEvents& measure, InstrumentEmitter& emitter) : measure_(measure), emitter_(emitter) {}
    void set_lexer(const Lexer* lexer) { lexer_ = lexer; }
    // The counts of the lines of the functions instrumented so far.
    const std::vector<FunctionLines>& function_lines() const { return function_lines_; }

    // --- tokens ---
    void watch_lookahead(const int* lookahead) override { lookahead_ = lookahead; }
    void reading_token() override;
    void token_read(SemanticValue& value, std::string_view text) override;

    // --- LexerClient ---
    bool component_open() const override { return measure_.component_open(); }
    void count_occurrence(const std::string& text, Occurrence kind) override { measure_.count_occurrence(text, kind); }
    void comments_inside(const CommentCounts& counts) override { measure_.comments_inside(counts); }
    void comments_outside(const CommentCounts& counts) override { measure_.comments_outside(counts); }
    void macro_use(bool function_like) override { measure_.macro_use(function_like); }
    void mark_ignored_region(const std::string& file, int line) override { measure_.mark_ignored_region(file, line); }
    void capture(std::string_view text, bool counted) override { measure_.capture(text, counted); }
    bool instrumenting() const override { return true; }
    void echo(std::string_view text) override;
    void echo_token(std::string_view text) override;
    void line_marker(std::string_view text) override;

    // --- expressions ---
    void operand(const SemanticValue& token) override { measure_.operand(token); }
    void op(std::string_view text, const SemanticValue& token) override { measure_.op(text, token); }
    void use_primary(const SemanticValue& primary) override { measure_.use_primary(primary); }
    void call(const SemanticValue& callee, const SemanticValue& paren) override;
    void logical(Conditional kind, const SemanticValue& token) override { measure_.logical(kind, token); }
    int logical_operator(Conditional kind, const SemanticValue& left, const SemanticValue& op,
                         const SemanticValue& right) override;
    int logical_not(const SemanticValue& op, const SemanticValue& operand) override;
    int parenthesized(const SemanticValue& open, const SemanticValue& inner) override;
    void unevaluated(const SemanticValue& keyword) override;
    SemanticValue builtin_with_types(const SemanticValue& keyword) override;
    SemanticValue capture_mark() const override { return measure_.capture_mark(); }

    // --- declarations and functions ---
    void object_declared() override { measure_.object_declared(); }
    void function_begin(const FunctionStart& start) override;
    void function_end(const SemanticValue& body) override;
    void close_abandoned_function() override;
    void nested_function_begin(const SemanticValue& brace) override;
    void nested_function_end(const SemanticValue& close) override;
    void recovery_lines(int lines) override { measure_.recovery_lines(lines); }

    // --- statements ---
    void statement_start() override;
    void open_block(const SemanticValue& brace) override;
    SemanticValue simple_statement(const SemanticValue& first, int end_line, const SemanticValue& semicolon) override;
    void expression_statement(const SemanticValue& expression) override;
    SemanticValue asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    void asm_jump_target(const SemanticValue& label) override;
    SemanticValue asm_goto_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    SemanticValue empty_block(const SemanticValue& open, const SemanticValue& close) override {
        return measure_.empty_block(open, close);
    }
    SemanticValue block(const SemanticValue& open, const SemanticValue& body, const SemanticValue& close) override {
        return measure_.block(open, body, close);
    }
    SemanticValue sequence(const SemanticValue& before, const SemanticValue& mark, const SemanticValue& next) override {
        return measure_.sequence(before, mark, next);
    }
    SemanticValue record_running() const override { return measure_.record_running(); }

    void if_start() override;
    SemanticValue if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                               const SemanticValue& condition) override;
    SemanticValue if_part(const SemanticValue& head, const SemanticValue& branch) const override {
        return measure_.if_part(head, branch);
    }
    SemanticValue if_without_else(const SemanticValue& if_part) override;
    void else_start(const SemanticValue& if_part, const SemanticValue& keyword) override;
    SemanticValue if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise) override;

    void loop_start(const SemanticValue& keyword) override;
    SemanticValue while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                  const SemanticValue& condition) override;
    SemanticValue while_end(const SemanticValue& head, const SemanticValue& body, const SemanticValue& keyword) override;
    SemanticValue do_start(const SemanticValue& keyword) override;
    void do_while(const SemanticValue& keyword, const SemanticValue& paren) override;
    SemanticValue do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                               const SemanticValue& condition) override;
    SemanticValue do_end(const SemanticValue& head, const SemanticValue& body, const SemanticValue& keyword,
                         int end_line) override;
    void for_init(const SemanticValue& keyword, const SemanticValue& clause) override;
    SemanticValue for_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                const SemanticValue& condition, const SemanticValue& semicolon) override;
    SemanticValue for_head(const SemanticValue& keyword, const SemanticValue& condition, const SemanticValue& step,
                           const SemanticValue& paren) override;
    SemanticValue for_end(const SemanticValue& head, const SemanticValue& body, const SemanticValue& keyword) override;

    void switch_start(const SemanticValue& keyword) override;
    SemanticValue switch_head(const SemanticValue& keyword, const SemanticValue& capture,
                              const SemanticValue& expression) override;
    SemanticValue switch_end(const SemanticValue& head, const SemanticValue& body) override;
    SemanticValue case_label(const SemanticValue& capture, const SemanticValue& keyword) override;
    SemanticValue default_label(const SemanticValue& keyword) override;
    SemanticValue labelled_case(const SemanticValue& label, const SemanticValue& statement) override;

    SemanticValue break_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    SemanticValue continue_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    SemanticValue return_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    void return_expression(const SemanticValue& keyword, const SemanticValue& expression,
                           const SemanticValue& semicolon) override;
    SemanticValue goto_statement(const SemanticValue& keyword, const SemanticValue& label,
                                 const SemanticValue& semicolon) override;
    SemanticValue leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    void label_address(const SemanticValue& op, const SemanticValue& name) override;
    SemanticValue computed_goto(const SemanticValue& keyword, const SemanticValue& star,
                                const SemanticValue& semicolon) override;
    void label(const SemanticValue& name) override;
    SemanticValue labelled_statement(const SemanticValue& name, const SemanticValue& statement) override {
        return measure_.labelled_statement(name, statement);
    }
    void except_filter(const SemanticValue& keyword, const SemanticValue& filter) override;

private:
    // The last token the parser has consumed (the one before a pending
    // lookahead).
    TokenId consumed() const { return lookahead_ && *lookahead_ > 0 ? last_token_ - 1 : last_token_; }
    // The probe of the case labels that the statement just begun closed.
    void case_probe();
    SemanticValue branch_head(const SemanticValue& head, const SemanticValue& keyword, const SemanticValue& condition);
    SemanticValue loop_exit(const SemanticValue& value);
    bool conditions_active() const { return emitter_.condition_coverage() && emitter_.active(); }
    void condition_decision(const SemanticValue& expression, TokenId terminator, int line, int branch);
    void rewrite_decision(const LogicalOperand& root, int line, int branch);
    ConditionTree condition_tree(const LogicalOperand& operand, std::vector<TokenRange>& conditions) const;

    MeasuringEvents& measure_;
    InstrumentEmitter& emitter_;
    const Lexer* lexer_ = nullptr;
    const int* lookahead_ = nullptr;
    TokenId last_token_ = 0;
    size_t log_start_ = 0;
    // Condition coverage: the function's logical operators.
    LogicalNodes logical_;
    // The open function's flow, and the file its lines belong to.
    LineFlow flow_;
    std::string flow_file_;
    std::vector<FunctionLines> function_lines_;
    int nested_functions_ = 0;  // the nested functions open in the function
};

}  // namespace qor
