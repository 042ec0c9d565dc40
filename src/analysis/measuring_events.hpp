// The grammar events as the measuring side handles them: components
// opened and closed, operators, operands, calls and statements counted,
// the control graph and the decision descriptions built, and the path
// count computed. One object per source file.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "analysis/component.hpp"
#include "analysis/token_log.hpp"
#include "frontend/grammar_events.hpp"
#include "frontend/lexer.hpp"

namespace qor {

// Statement-level constructs that nest and take part in path counting.
enum class Construct { Loop, Switch };

class MeasuringEvents : public GrammarEvents {
public:
    MeasuringEvents(AnalysisModel& model, MetricCollector& metrics);
    void set_lexer(const Lexer* lexer) { lexer_ = lexer; }
    ComponentContext& components() { return components_; }

    // --- what the instrumenting side reads ---
    // The token texts of the open component, for condition texts.
    TokenLog& token_log() { return token_log_; }
    // The number of the last branch described by the last event (0 for
    // none): the probes of the branch carry it.
    int last_branch() const { return last_branch_; }
    // The case group that the last statement start closed, or 0.
    int last_case_group() const { return last_case_group_; }
    // The open component's next decision number (1 outside components).
    int decision_counter() const { return components_.counts ? components_.counts->decisions.counter() : 1; }
    std::optional<Construct> innermost_construct() const;

    // --- LexerClient ---
    bool component_open() const override { return components_.open(); }
    void count_occurrence(const std::string& text, Occurrence kind) override;
    void comments_inside(const CommentCounts& counts) override;
    void comments_outside(const CommentCounts& counts) override;
    void macro_use(bool function_like) override;
    void mark_ignored_region(const std::string& file, int line) override;
    void capture(std::string_view text, bool counted) override;

    // --- expressions ---
    void operand(const SemanticValue& token) override;
    void op(std::string_view text, const SemanticValue& token) override;
    void use_primary(const SemanticValue& primary) override;
    void call(const SemanticValue& callee, const SemanticValue& paren) override;
    void logical(Conditional kind, const SemanticValue& token) override;
    int logical_operator(Conditional, const SemanticValue&, const SemanticValue&, const SemanticValue&) override {
        return 0;
    }
    int logical_not(const SemanticValue&, const SemanticValue&) override { return 0; }
    int parenthesized(const SemanticValue&, const SemanticValue&) override { return 0; }
    void unevaluated(const SemanticValue&) override {}
    SemanticValue builtin_with_types(const SemanticValue& keyword) override;
    SemanticValue capture_mark() const override;

    // --- declarations and functions ---
    void object_declared() override;
    void function_begin(const FunctionStart& start) override;
    void function_end(const SemanticValue& body) override;
    void close_abandoned_function() override;
    void nested_function_begin(const SemanticValue& brace) override;
    void nested_function_end(const SemanticValue& close) override;
    void recovery_lines(int lines) override;

    // --- statements ---
    void statement_start() override;
    void open_block(const SemanticValue& brace) override;
    SemanticValue simple_statement(const SemanticValue& first, int end_line, const SemanticValue& semicolon) override;
    void expression_statement(const SemanticValue&) override {}
    SemanticValue asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    void asm_jump_target(const SemanticValue& label) override;
    SemanticValue asm_goto_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    SemanticValue empty_block(const SemanticValue& open, const SemanticValue& close) override;
    SemanticValue block(const SemanticValue& open, const SemanticValue& body, const SemanticValue& close) override;
    SemanticValue sequence(const SemanticValue& before, const SemanticValue& mark, const SemanticValue& next) override;
    SemanticValue record_running() const override;

    void if_start() override;
    SemanticValue if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                               const SemanticValue& condition) override;
    SemanticValue if_part(const SemanticValue& head, const SemanticValue& branch) const override;
    SemanticValue if_without_else(const SemanticValue& if_part) override;
    void else_start(const SemanticValue& if_part, const SemanticValue& keyword) override;
    SemanticValue if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise) override;

    void loop_start(const SemanticValue& keyword) override;
    SemanticValue while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                  const SemanticValue& condition) override;
    SemanticValue while_end(const SemanticValue& head, const SemanticValue& body, const SemanticValue& keyword) override;
    SemanticValue do_start(const SemanticValue& keyword) override;
    void do_while(const SemanticValue&, const SemanticValue&) override {}
    SemanticValue do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                               const SemanticValue& condition) override;
    SemanticValue do_end(const SemanticValue& head, const SemanticValue& body, const SemanticValue& keyword,
                         int end_line) override;
    void for_init(const SemanticValue&, const SemanticValue&) override {}
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
    void return_expression(const SemanticValue&, const SemanticValue&, const SemanticValue&) override {}
    SemanticValue goto_statement(const SemanticValue& keyword, const SemanticValue& label,
                                 const SemanticValue& semicolon) override;
    SemanticValue leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon) override;
    void label_address(const SemanticValue& op, const SemanticValue& name) override;
    SemanticValue computed_goto(const SemanticValue& keyword, const SemanticValue& star,
                                const SemanticValue& semicolon) override;
    void label(const SemanticValue& name) override;
    SemanticValue labelled_statement(const SemanticValue& name, const SemanticValue& statement) override;
    void except_filter(const SemanticValue& keyword, const SemanticValue& filter) override;

private:
    ComponentTotals& totals() { return components_.totals(); }
    // Adds one to a ct_ counter of the open component when `counted`.
    void count(int counter, bool counted = true) {
        if (components_.counts) components_.counts->ct.ct_add(counter, counted);
    }
    ModuleRecord* current_module();
    const std::string* intern(std::string_view text) { return &strings_.emplace_back(text); }
    const std::string* current_file();
    void control(NodeKind kind, int line);
    int describe(DecisionKind kind, const std::string* text, int line);
    void nest();
    void unnest() { --nesting_; }
    void count_statement();
    void begin_loop();
    void end_statement() { case_path_flag_ = true; }
    static SemanticValue statement_value(int line, int end_line);
    SemanticValue label_alone(int line);
    SemanticValue case_path(int line);
    SemanticValue jump(NodeKind kind, const SemanticValue& keyword, const SemanticValue& semicolon);
    void leave_paths(double& total);
    SemanticValue leave_construct(SemanticValue jump);
    const std::string* captured_text(const SemanticValue& capture, std::string_view terminator);
    void path_head(SemanticValue& head, double running_after);
    void path_tail(const SemanticValue& head, double count);
    void link_computed_jumps();
    SemanticValue loop_end(const SemanticValue& head, const SemanticValue& body, NodeKind end_kind, int end_line,
                           bool mark_matters, DecisionKind end_decision, const char* operator_text,
                           const SemanticValue& keyword);

    ComponentContext components_;
    const Lexer* lexer_ = nullptr;
    // The names of the files the text came from, one string each: control
    // nodes point at them and compare them by identity.
    std::unordered_set<std::string> file_names_;
    const std::string* last_file_ = nullptr;
    // Captured texts of the open and of the previous component: values of
    // the previous one may still be on the parser's stack.
    std::deque<std::string> strings_;
    std::deque<std::string> previous_strings_;
    TokenLog token_log_;

    // Path counting of the open function.
    struct Accumulators {
        double running = 1.0;
        double returns = 0.0;
        double breaks = 0.0;
    };
    Accumulators paths_;
    std::vector<Accumulators> saved_functions_;
    std::vector<Accumulators> saved_nested_;  // of the functions around the open nested ones
    std::vector<Accumulators> saved_heads_;
    std::vector<Construct> constructs_;
    std::vector<bool> switch_has_default_;
    // The open function's computed jumps and the labels whose address it
    // takes: each jump's targets, known at the function's end.
    std::vector<ControlNode*> computed_jumps_;
    std::vector<std::string> address_taken_;
    std::vector<std::string> asm_targets_;  // the labels of the asm goto being read

    int nesting_ = 1;
    bool case_path_flag_ = false;
    bool described_begin_ = false;
    int last_branch_ = 0;
    int last_case_group_ = 0;
};

}  // namespace qor
