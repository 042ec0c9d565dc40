// What the grammar's reductions do: they keep the declaration scopes,
// open and close components, count operators, operands, calls and
// statements, build the control graph and the decision descriptions, and
// compute the path count. One object per source file.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "analysis/component.hpp"
#include "frontend/lexer.hpp"
#include "frontend/lexer_client.hpp"
#include "frontend/parser_stacks.hpp"
#include "frontend/scopes.hpp"
#include "frontend/token_log.hpp"
#include "instrument/emitter.hpp"

namespace qor {

// The value of a grammar symbol. Trivially copyable: the parser's stacks
// move values with memcpy when they grow.
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
    int token;                // in an instrumented file: the token's number, or an
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

// Statement-level constructs that nest and take part in path counting.
enum class Construct { Loop, Switch };

class ParseActions : public LexerClient {
public:
    struct Setup {
        ComponentContext* components = nullptr;
        std::unordered_set<std::string>* file_names = nullptr;
        const DialectState* dialect = nullptr;
        Preprocessor* preprocessor = nullptr;
        std::function<void(const std::string&)> on_dependency;
        // Writes the instrumented file; none outside dynamic mode.
        InstrumentEmitter* emitter = nullptr;
    };

    explicit ParseActions(const Setup& setup);
    void set_lexer(Lexer* lexer) { lexer_ = lexer; }

    // --- the parser's side of the lexer ---
    int next_token(SemanticValue& value);
    void syntax_error(const char* message);

    // --- LexerClient ---
    bool component_open() const override { return components_.open; }
    bool is_type_name(const std::string& name) const override { return scopes_.is_type_name(name); }
    void count_occurrence(const std::string& text, int kind) override;
    void add_total(Total total, int amount) override { totals()[total] += amount; }
    void set_total(Total total, int value) override { totals()[total] = value; }
    void mark_ignored_region(const std::string& file, int line) override;
    void add_dependency(const std::string& file) override;
    void capture(std::string_view text, bool counted) override;
    bool instrumenting() const override { return emitter_ != nullptr; }
    void echo(std::string_view text) override;
    void echo_token(std::string_view text) override;
    void line_marker(std::string_view text) override;
    // The parser's lookahead slot, so that the instrumentation knows which
    // tokens the parser has consumed when an action runs.
    void watch_lookahead(const int* lookahead) { lookahead_ = lookahead; }
    ParserStacks& parser_stacks() { return parser_stacks_; }

    // --- symbols and occurrences ---
    SemanticValue empty() const;
    void operand(const SemanticValue& token);
    void op(std::string_view text, const SemanticValue& token);
    // An identifier expression used as anything but a callee counts now.
    void use_primary(const SemanticValue& primary);
    void call(const SemanticValue& callee, const SemanticValue& paren);
    void logical(int counter, const SemanticValue& token);

    // --- declarations ---
    void begin_specifiers(uint32_t flags);
    void end_declaration();
    // At the start of each external definition.
    void next_definition();
    // After the parse: a component left open is closed.
    void close_abandoned_component();
    void declare(const SemanticValue& name, bool type_name_token);
    int open_parameters();
    void close_parameters();
    void count_parameter(const SemanticValue& specifiers, bool abstract_empty);
    void identifier_parameter(const SemanticValue& name);
    void push_scope();
    void pop_scope() { scopes_.pop(); }

    // --- functions ---
    void begin_function(const SemanticValue& declarator);
    void end_function(const SemanticValue& body);

    // --- statements ---
    void statement_start();
    // The '{' of a block; the first one of a function is its body's.
    void open_block(const SemanticValue& brace);
    SemanticValue simple_statement(const SemanticValue& first, int end_line, const SemanticValue& semicolon);
    // An expression statement, before simple_statement.
    void expression_statement(const SemanticValue& expression);
    SemanticValue asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon);
    SemanticValue empty_block(const SemanticValue& open, const SemanticValue& close);
    SemanticValue block(const SemanticValue& open, const SemanticValue& body, const SemanticValue& close);
    SemanticValue sequence(const SemanticValue& before, const SemanticValue& mark, const SemanticValue& next);
    SemanticValue record_running() const;
    SemanticValue capture_mark() const;

    // An if: its head value carries the condition and the recorded count;
    // the if part adds the branch's count, mark and end.
    void if_start();
    SemanticValue if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                               const SemanticValue& condition);
    SemanticValue if_part(const SemanticValue& head, const SemanticValue& branch) const;
    SemanticValue if_without_else(const SemanticValue& if_part);
    void else_start(const SemanticValue& if_part, const SemanticValue& keyword);
    SemanticValue if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise);

    void loop_start(const SemanticValue& keyword);
    SemanticValue while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                  const SemanticValue& condition);
    SemanticValue do_start(const SemanticValue& keyword);
    void do_while(const SemanticValue& keyword, const SemanticValue& paren);
    SemanticValue do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                               const SemanticValue& condition);
    // The clauses of a for: the first one, the condition (ending with
    // `semicolon`) and the step (ending with `paren`).
    void for_init(const SemanticValue& keyword, const SemanticValue& clause);
    SemanticValue for_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                const SemanticValue& condition, const SemanticValue& semicolon);
    SemanticValue for_head(const SemanticValue& keyword, const SemanticValue& condition, const SemanticValue& step,
                           const SemanticValue& paren);
    SemanticValue loop_end(const SemanticValue& head, const SemanticValue& body, NodeKind end_kind, int end_line,
                           bool mark_matters, DecisionKind end_decision, const char* operator_text,
                           const SemanticValue& keyword);

    void switch_start(const SemanticValue& keyword);
    SemanticValue switch_head(const SemanticValue& keyword, const SemanticValue& capture,
                              const SemanticValue& expression);
    SemanticValue switch_end(const SemanticValue& head, const SemanticValue& body);
    SemanticValue case_label(const SemanticValue& capture, const SemanticValue& keyword);
    SemanticValue default_label(const SemanticValue& keyword);
    SemanticValue labelled_case(const SemanticValue& label, const SemanticValue& statement);

    SemanticValue break_statement(const SemanticValue& keyword, const SemanticValue& semicolon);
    SemanticValue continue_statement(const SemanticValue& keyword, const SemanticValue& semicolon);
    SemanticValue return_statement(const SemanticValue& keyword, const SemanticValue& semicolon);
    // The expression of `return expression;`, before the statement.
    void return_expression(const SemanticValue& keyword, const SemanticValue& expression,
                           const SemanticValue& semicolon);
    SemanticValue goto_statement(const SemanticValue& keyword, const SemanticValue& label, const SemanticValue& semicolon);
    SemanticValue leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon);
    void label(const SemanticValue& name);
    SemanticValue labelled_statement(const SemanticValue& name, const SemanticValue& statement);
    void except_filter(const SemanticValue& keyword, const SemanticValue& filter);

    const std::string* text(std::string_view text) { return intern(text); }
    const std::string* joined(const SemanticValue& first, const SemanticValue& second);

    // --- condition coverage ---
    // The logical operator node that `left` && `right` (or ||, `op` being
    // the operator), or '!' `operand` makes: its handle for the expression's
    // value, or 0 without condition coverage. Parentheses keep the node.
    int logical_operator(ConditionNode::Kind kind, const SemanticValue& left, const SemanticValue& op,
                         const SemanticValue& right);
    int logical_not(const SemanticValue& op, const SemanticValue& operand);
    int parenthesized(const SemanticValue& open, const SemanticValue& inner);
    // The operand of sizeof or _Alignof that ends here, from `keyword`:
    // its operators are not evaluated and stay as they are.
    void unevaluated(const SemanticValue& keyword);
    // A built-in whose arguments may be types (`keyword` to here).
    SemanticValue builtin_with_types(const SemanticValue& keyword);

    // --- error recovery ---
    void start_recovery();
    void end_recovery();
    void unexpected_ellipsis(bool only_parameter);

private:
    ComponentTotals& totals() { return *components_.totals; }
    CtCounters& ct() { return *components_.ct; }
    ModuleRecord* current_module();
    const std::string* intern(std::string_view text);
    const std::string* current_file();
    void control(NodeKind kind, int line);
    int describe(DecisionKind kind, const std::string* text, int line);
    void nest();
    void unnest() { --nesting_; }
    void count_statement();
    void begin_loop();
    void end_statement() { case_path_flag_ = true; }
    SemanticValue case_path();
    SemanticValue jump(NodeKind kind, const SemanticValue& keyword, const SemanticValue& semicolon);
    void leave_paths(double& total);
    const std::string* captured_text(const SemanticValue& capture, std::string_view terminator);
    void path_head(SemanticValue& head, double running_after);
    void path_tail(const SemanticValue& head, double count);
    bool conditions_active() const { return emitter_ && emitter_->condition_coverage() && emitter_->active(); }
    void clear_conditions();
    void condition_decision(const SemanticValue& expression, TokenId terminator, int line, int branch);
    void rewrite_decision(const LogicalOperand& root, int line, int branch);
    ConditionTree condition_tree(const LogicalOperand& operand, std::vector<TokenRange>& conditions) const;

    ComponentContext& components_;
    const DialectState& dialect_;
    Preprocessor& preprocessor_;
    std::function<void(const std::string&)> on_dependency_;
    Lexer* lexer_ = nullptr;
    InstrumentEmitter* emitter_;
    const int* lookahead_ = nullptr;
    TokenId last_token_ = 0;
    // Names declared static: their functions' full names carry the file.
    std::unordered_set<std::string> static_names_;
    // The last token the parser has consumed (the one before a pending
    // lookahead).
    TokenId consumed() const { return lookahead_ && *lookahead_ > 0 ? last_token_ - 1 : last_token_; }
    ScopeStack scopes_;

    // Token texts of the current and of the previous external definition:
    // the parser's lookahead may still point into the previous one.
    std::deque<std::string> strings_;
    std::deque<std::string> previous_strings_;
    std::unordered_set<std::string>& file_names_;
    const std::string* last_file_ = nullptr;
    std::vector<uint32_t> specifiers_;
    struct ParameterList {
        std::vector<std::pair<std::string, NameKind>> names;
        int count = 0;
    };
    std::vector<ParameterList> parameter_lists_;
    std::vector<int> open_parameter_lists_;

    ParserStacks parser_stacks_;

    // The token texts of the open component, for condition texts.
    TokenLog token_log_;
    // Condition coverage: the function's logical operators.
    LogicalNodes logical_;

    // Path counting of the open function.
    struct Accumulators {
        double running = 1.0;
        double returns = 0.0;
        double breaks = 0.0;
    };
    Accumulators paths_;
    std::vector<Accumulators> saved_functions_;
    std::vector<Accumulators> saved_heads_;
    std::vector<Construct> constructs_;
    std::vector<bool> switch_has_default_;

    int nesting_ = 1;

    bool case_path_flag_ = false;
    bool described_begin_ = false;
    int recovery_lines_ = 0;
    bool recovering_ = false;
};

}  // namespace qor
