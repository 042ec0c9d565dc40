// The probes of an instrumented file's functions and statements; the
// rewriting of decisions for condition coverage is in condition_probes.cpp.
#include "instrument/probing_events.hpp"

namespace qor {

// --- tokens ---

void ProbingEvents::reading_token() {
    last_token_ = 0;
    log_start_ = measure_.token_log().size();
}

void ProbingEvents::token_read(SemanticValue& value, std::string_view text) {
    if (last_token_ != 0 && conditions_active()) measure_.token_log().mark(last_token_, log_start_, text);
    value.token = last_token_;
    // Braces stand for no code of their own: a line that holds only the
    // end of a branch is not a line that runs.
    if (flow_.open())
        flow_.token(last_token_, value.line, text != "{" && text != "}" && lexer_->current_file() == flow_file_);
}

void ProbingEvents::echo(std::string_view text) { emitter_.echo_layout(text, component_open()); }

void ProbingEvents::echo_token(std::string_view text) { last_token_ = emitter_.echo_token(text, component_open()); }

void ProbingEvents::line_marker(std::string_view text) { emitter_.line_marker(text, component_open()); }

// --- expressions ---

// These built-ins want a constant or look at their argument without
// evaluating it, and the compiler computes their value: a rewritten
// condition inside one would change the result, and a call probe around
// one would make it no constant (the first argument of
// __builtin_choose_expr must be one; __builtin_constant_p of it is 0).
namespace {

bool computed_by_compiler(const SemanticValue& callee) {
    return callee.str && (*callee.str == "__builtin_choose_expr" || *callee.str == "__builtin_constant_p");
}

}  // namespace

void ProbingEvents::call(const SemanticValue& callee, const SemanticValue& paren) {
    if (component_open() && computed_by_compiler(callee)) {
        unevaluated(callee);
    } else if (component_open()) {
        emitter_.call(callee.token, consumed(), callee.pending_operand && callee.str ? *callee.str : std::string());
    }
    measure_.call(callee, paren);
}

SemanticValue ProbingEvents::builtin_with_types(const SemanticValue& keyword) {
    SemanticValue value = measure_.builtin_with_types(keyword);
    unevaluated(keyword);
    return value;
}

// --- functions ---

void ProbingEvents::function_begin(const FunctionStart& start) {
    logical_.clear();
    measure_.function_begin(start);
    // An inline definition with external linkage (the C library's extern
    // inline functions at -O2, for one) may not refer to the unit's static
    // counters: it is measured but gets no probes.
    if (component_open() && (start.is_static || !start.is_inline))
        emitter_.begin_function(start.name, start.name == "main" || start.is_static);
    if (emitter_.active()) {
        flow_.begin(start.name, start.line);
        flow_file_ = lexer_->current_file();
    }
}

// The probes of the body's end are placed while the component is still
// open and before its decision numbering starts again.
void ProbingEvents::function_end(const SemanticValue& body) {
    emitter_.body_close(consumed(), !body.returns, measure_.decision_counter() - 1);
    if (flow_.open()) function_lines_.push_back(flow_.end(body.end_line));
    measure_.function_end(body);
    logical_.clear();
}

void ProbingEvents::close_abandoned_function() {
    bool open = component_open();
    nested_functions_ = 0;
    if (open) emitter_.abandon_function();
    flow_ = LineFlow();
    measure_.close_abandoned_function();
    if (open) logical_.clear();
}

// The probes of a nested function are those of the function around it,
// but for its returns: they are no exits of that function.
void ProbingEvents::nested_function_begin(const SemanticValue& brace) {
    measure_.nested_function_begin(brace);
    ++nested_functions_;
    flow_.nested_function_begin(consumed());
}

void ProbingEvents::nested_function_end(const SemanticValue& close) {
    flow_.nested_function_end(consumed());
    if (nested_functions_ > 0) --nested_functions_;
    measure_.nested_function_end(close);
}

// --- statements ---

void ProbingEvents::case_probe() {
    if (int group = measure_.last_case_group(); group > 0) {
        emitter_.case_probe(group);
        flow_.case_group(group);
    }
}

void ProbingEvents::statement_start() {
    measure_.statement_start();
    case_probe();
}

void ProbingEvents::open_block(const SemanticValue& brace) {
    measure_.open_block(brace);
    case_probe();
    emitter_.body_open(brace.token);
}

SemanticValue ProbingEvents::simple_statement(const SemanticValue& first, int end_line,
                                              const SemanticValue& semicolon) {
    SemanticValue value = measure_.simple_statement(first, end_line, semicolon);
    case_probe();
    return value;
}

void ProbingEvents::expression_statement(const SemanticValue& expression) {
    condition_decision(expression, consumed(), expression.line, 0);
    emitter_.reset_decision_index();
}

SemanticValue ProbingEvents::asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = measure_.asm_statement(keyword, semicolon);
    case_probe();
    return value;
}

// The labels of an asm goto are reached in counts that no probe tells.
void ProbingEvents::asm_jump_target(const SemanticValue& label) {
    measure_.asm_jump_target(label);
    if (label.str) flow_.label_address(*label.str);
}

SemanticValue ProbingEvents::asm_goto_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = measure_.asm_goto_statement(keyword, semicolon);
    case_probe();
    return value;
}

// --- if ---

void ProbingEvents::if_start() {
    measure_.if_start();
    case_probe();
}

// The head of an if or a while, once measured: its decision is rewritten
// and its branch opened.
SemanticValue ProbingEvents::branch_head(const SemanticValue& head, const SemanticValue& keyword,
                                         const SemanticValue& condition) {
    int branch = measure_.last_branch();
    condition_decision(condition, consumed(), keyword.line, branch);
    emitter_.open_branch(consumed(), branch);
    return head;
}

SemanticValue ProbingEvents::if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                          const SemanticValue& condition) {
    SemanticValue head = branch_head(measure_.if_condition(keyword, capture, condition), keyword, condition);
    flow_.if_head(consumed(), measure_.last_branch());
    return head;
}

SemanticValue ProbingEvents::if_without_else(const SemanticValue& if_part) {
    SemanticValue value = measure_.if_without_else(if_part);
    emitter_.else_without_source(consumed(), measure_.last_branch());
    flow_.if_end(consumed(), measure_.last_branch());
    return value;
}

void ProbingEvents::else_start(const SemanticValue& if_part, const SemanticValue& keyword) {
    measure_.else_start(if_part, keyword);
    emitter_.else_keyword(keyword.token, measure_.last_branch());
    flow_.else_start(keyword.token, measure_.last_branch());
}

SemanticValue ProbingEvents::if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise) {
    emitter_.close_branch(consumed());
    flow_.if_end(consumed(), 0);
    return measure_.if_with_else(if_part, otherwise);
}

// --- loops ---

void ProbingEvents::loop_start(const SemanticValue& keyword) {
    measure_.loop_start(keyword);
    case_probe();
    emitter_.loop_flag(keyword.token);
    flow_.loop_start(keyword.token);
}

SemanticValue ProbingEvents::while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                             const SemanticValue& condition) {
    SemanticValue head = branch_head(measure_.while_condition(keyword, capture, condition), keyword, condition);
    flow_.loop_head(consumed(), measure_.last_branch());
    return head;
}

// The exit of a while or for loop, once its end is measured.
SemanticValue ProbingEvents::loop_exit(const SemanticValue& value) {
    emitter_.loop_exit(consumed(), measure_.last_branch());
    flow_.loop_end(consumed(), measure_.last_branch());
    return value;
}

SemanticValue ProbingEvents::while_end(const SemanticValue& head, const SemanticValue& body,
                                       const SemanticValue& keyword) {
    return loop_exit(measure_.while_end(head, body, keyword));
}

SemanticValue ProbingEvents::do_start(const SemanticValue& keyword) {
    SemanticValue head = measure_.do_start(keyword);
    case_probe();
    emitter_.do_head(keyword.token);
    flow_.do_start(keyword.token);
    return head;
}

void ProbingEvents::do_while(const SemanticValue& keyword, const SemanticValue& paren) {
    emitter_.do_tail(keyword.token, paren.token);
    flow_.do_tail(keyword.token);
}

SemanticValue ProbingEvents::do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                          const SemanticValue& condition) {
    SemanticValue value = measure_.do_condition(capture, keyword, condition);
    int branch = measure_.last_branch();
    condition_decision(condition, consumed(), keyword.line, branch);
    emitter_.reset_decision_index();
    emitter_.do_decision(consumed(), branch);
    return value;
}

SemanticValue ProbingEvents::do_end(const SemanticValue& head, const SemanticValue& body,
                                    const SemanticValue& keyword, int end_line) {
    SemanticValue value = measure_.do_end(head, body, keyword, end_line);
    emitter_.do_end(consumed());
    // As do_decision's probes: the repetition's branch just before the exit's.
    int exit = measure_.last_branch();
    flow_.do_end(consumed(), exit - 1, exit);
    return value;
}

void ProbingEvents::for_init(const SemanticValue& keyword, const SemanticValue& clause) {
    condition_decision(clause, consumed(), keyword.line, 0);
}

SemanticValue ProbingEvents::for_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                           const SemanticValue& condition, const SemanticValue& semicolon) {
    SemanticValue value = measure_.for_condition(capture, keyword, condition, semicolon);
    condition_decision(condition, semicolon.token, keyword.line, value.decision);
    return value;
}

SemanticValue ProbingEvents::for_head(const SemanticValue& keyword, const SemanticValue& condition,
                                      const SemanticValue& step, const SemanticValue& paren) {
    condition_decision(step, paren.token, keyword.line, 0);
    emitter_.open_branch(consumed(), condition.decision);
    flow_.loop_head(consumed(), condition.decision);
    return measure_.for_head(keyword, condition, step, paren);
}

SemanticValue ProbingEvents::for_end(const SemanticValue& head, const SemanticValue& body,
                                     const SemanticValue& keyword) {
    return loop_exit(measure_.for_end(head, body, keyword));
}

// --- switch ---

void ProbingEvents::switch_start(const SemanticValue& keyword) {
    measure_.switch_start(keyword);
    case_probe();
    emitter_.switch_flag(keyword.token);
}

SemanticValue ProbingEvents::switch_head(const SemanticValue& keyword, const SemanticValue& capture,
                                         const SemanticValue& expression) {
    SemanticValue head = measure_.switch_head(keyword, capture, expression);
    condition_decision(expression, consumed(), keyword.line, 0);
    flow_.switch_head(consumed());
    return head;
}

SemanticValue ProbingEvents::switch_end(const SemanticValue& head, const SemanticValue& body) {
    SemanticValue value = measure_.switch_end(head, body);
    emitter_.switch_end(consumed(), measure_.last_branch());
    flow_.switch_end(consumed(), measure_.last_branch());
    return value;
}

SemanticValue ProbingEvents::case_label(const SemanticValue& capture, const SemanticValue& keyword) {
    SemanticValue value = measure_.case_label(capture, keyword);
    emitter_.label_end(consumed());
    flow_.case_label(keyword.token);
    return value;
}

SemanticValue ProbingEvents::default_label(const SemanticValue& keyword) {
    SemanticValue value = measure_.default_label(keyword);
    emitter_.label_end(consumed());
    flow_.case_label(keyword.token);
    return value;
}

// A label that ends the block: its group's probe goes right after it.
SemanticValue ProbingEvents::labelled_case(const SemanticValue& label, const SemanticValue& statement) {
    SemanticValue value = measure_.labelled_case(label, statement);
    if (statement.nothing) case_probe();
    return value;
}

// --- jumps and labels ---

SemanticValue ProbingEvents::break_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = measure_.break_statement(keyword, semicolon);
    case_probe();
    if (measure_.innermost_construct() == Construct::Loop) emitter_.break_in_loop(keyword.token, semicolon.token);
    flow_.break_statement(semicolon.token);
    return value;
}

SemanticValue ProbingEvents::continue_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = measure_.continue_statement(keyword, semicolon);
    case_probe();
    flow_.leave(semicolon.token);
    return value;
}

SemanticValue ProbingEvents::return_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = measure_.return_statement(keyword, semicolon);
    case_probe();
    if (nested_functions_ == 0) emitter_.return_statement(keyword.token, semicolon.token);
    flow_.leave(semicolon.token);
    return value;
}

void ProbingEvents::return_expression(const SemanticValue& keyword, const SemanticValue& expression,
                                      const SemanticValue& semicolon) {
    condition_decision(expression, semicolon.token, keyword.line, 0);
}

SemanticValue ProbingEvents::goto_statement(const SemanticValue& keyword, const SemanticValue& label,
                                            const SemanticValue& semicolon) {
    SemanticValue value = measure_.goto_statement(keyword, label, semicolon);
    case_probe();
    if (label.str) flow_.goto_statement(semicolon.token, *label.str);
    return value;
}

SemanticValue ProbingEvents::leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = measure_.leave_statement(keyword, semicolon);
    case_probe();
    return value;
}

void ProbingEvents::label_address(const SemanticValue& op, const SemanticValue& name) {
    measure_.label_address(op, name);
    if (name.str) flow_.label_address(*name.str);
}

SemanticValue ProbingEvents::computed_goto(const SemanticValue& keyword, const SemanticValue& star,
                                           const SemanticValue& semicolon) {
    SemanticValue value = measure_.computed_goto(keyword, star, semicolon);
    case_probe();
    flow_.leave(semicolon.token);
    return value;
}

void ProbingEvents::label(const SemanticValue& name) {
    measure_.label(name);
    case_probe();
    if (name.str) flow_.label(name.token, consumed(), *name.str);
}

void ProbingEvents::except_filter(const SemanticValue& keyword, const SemanticValue& filter) {
    measure_.except_filter(keyword, filter);
    case_probe();
    condition_decision(filter, consumed(), keyword.line, 0);
}

}  // namespace qor
