// The measuring side of the events of statements: their nodes, decision
// descriptions, counts and paths.
#include <algorithm>
#include <cmath>

#include "analysis/measuring_events.hpp"
#include "analysis/path_count.hpp"

namespace qor {

namespace {

constexpr const char* kSwitchDestination = "*SD*";

}  // namespace

// --- statements: shared parts ---

void MeasuringEvents::control(NodeKind kind, int line) {
    if (ModuleRecord* module = current_module(); module && components_.model.new_results())
        components_.graph.control_add(module->controls, kind, current_file(), line);
}

int MeasuringEvents::describe(DecisionKind kind, const std::string* text, int line) {
    ModuleRecord* module = current_module();
    last_branch_ = module ? components_.counts->decisions.describe(module->descriptions, kind, text ? *text : std::string(), line)
                          : 0;
    return last_branch_;
}

void MeasuringEvents::nest() {
    ++nesting_;
    if (components_.open() && nesting_ > totals()[Total::LEVL]) totals()[Total::LEVL] = nesting_;
}

void MeasuringEvents::count_statement() {
    if (components_.open()) components_.model.counter_add(INST, 1);
}

// The first action of every statement-level construct: the function's
// Begin decision once, and the pending case labels' description.
void MeasuringEvents::statement_start() {
    last_case_group_ = 0;
    ModuleRecord* module = current_module();
    if (!module) return;
    if (!described_begin_) {
        described_begin_ = true;
        describe(DecisionKind::Begin, nullptr, lexer_->value().line);
    }
    last_case_group_ = components_.counts->decisions.switch_flush(module->descriptions);
}

void MeasuringEvents::open_block(const SemanticValue&) { statement_start(); }

SemanticValue MeasuringEvents::simple_statement(const SemanticValue& first, int end_line,
                                             const SemanticValue& semicolon) {
    statement_start();
    control(NodeKind::RIEN, first.line);
    count_statement();
    op(";", semicolon);
    end_statement();
    SemanticValue value = statement_value(first.line, end_line);
    return value;
}

SemanticValue MeasuringEvents::asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    statement_start();
    count_statement();
    end_statement();
    SemanticValue value = statement_value(keyword.line, semicolon.line);
    return value;
}

void MeasuringEvents::asm_jump_target(const SemanticValue& label) {
    operand(label);
    if (label.str) asm_targets_.push_back(*label.str);
}

// An asm goto jumps to one of its labels or goes on: a node of the kind of
// the computed jumps, whose targets are its labels. Like a goto, it leaves
// the path count uncomputed.
SemanticValue MeasuringEvents::asm_goto_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = asm_statement(keyword, semicolon);
    control(NodeKind::SAUI, keyword.line);
    if (ModuleRecord* module = current_module(); module && components_.model.new_results())
        module->controls.back()->targets = asm_targets_;
    asm_targets_.clear();
    if (components_.open()) ++totals()[Total::GOTO];
    value.path = -1;
    return value;
}

SemanticValue MeasuringEvents::empty_block(const SemanticValue& open, const SemanticValue& close) {
    control(NodeKind::RIEN, open.line);
    op("{}", open);
    end_statement();
    SemanticValue value = statement_value(open.line, close.line);
    return value;
}

SemanticValue MeasuringEvents::block(const SemanticValue& open, const SemanticValue& body, const SemanticValue& close) {
    op("{}", open);
    SemanticValue value = body;
    value.line = open.line;
    value.end_line = close.line;
    return value;
}

// A statement after others: its paths multiply those before it.
SemanticValue MeasuringEvents::sequence(const SemanticValue& before, const SemanticValue& mark, const SemanticValue& next) {
    SemanticValue value = next;
    value.line = before.line;
    value.path = times(plus(before.path, next.mark), next.path);
    paths_.running = times(plus(mark.recorded, next.mark), next.path);
    return value;
}

SemanticValue MeasuringEvents::record_running() const {
    SemanticValue value = empty_value();
    value.recorded = paths_.running;
    return value;
}

// The tokens from the capture mark up to the last terminator read: the
// text of a condition or a case label.
const std::string* MeasuringEvents::captured_text(const SemanticValue& capture, std::string_view terminator) {
    size_t start = capture.capture_start < 0 ? token_log_.size() : static_cast<size_t>(capture.capture_start);
    size_t end = token_log_.size();
    while (end > start && token_log_[end - 1] != terminator) --end;
    if (end > start) --end;
    return intern(token_log_.text(start, end));
}

// The value of a statement from `line` to `end_line`, with one path.
SemanticValue MeasuringEvents::statement_value(int line, int end_line) {
    SemanticValue value = empty_value();
    value.line = line;
    value.end_line = end_line;
    return value;
}

// --- if ---

void MeasuringEvents::if_start() {
    statement_start();
    if (components_.open()) ++totals()[Total::VG];
}

SemanticValue MeasuringEvents::if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                            const SemanticValue&) {
    const std::string* condition = captured_text(capture, ")");
    control(NodeKind::SI, keyword.line);
    count(ct_if);
    nest();
    describe(DecisionKind::If, condition, keyword.line);
    end_statement();
    SemanticValue head = empty_value();
    head.recorded = paths_.running;
    head.text = condition;
    head.line = keyword.line;
    return head;
}

SemanticValue MeasuringEvents::if_part(const SemanticValue& head, const SemanticValue& branch) const {
    SemanticValue value = head;
    value.path = branch.path;
    value.mark = branch.mark;
    value.end_line = branch.end_line;
    return value;
}

SemanticValue MeasuringEvents::if_without_else(const SemanticValue& if_part) {
    control(NodeKind::FISI, if_part.end_line);
    unnest();
    describe(DecisionKind::Else, if_part.text, if_part.end_line);
    count_statement();
    SemanticValue value = statement_value(if_part.line, if_part.end_line);
    value.path = if_part.path < 0 || if_part.mark != 0 ? -1 : if_part.path + 1.0;
    paths_.running = times(if_part.recorded, value.path);
    end_statement();
    return value;
}

void MeasuringEvents::else_start(const SemanticValue& if_part, const SemanticValue& keyword) {
    control(NodeKind::SINO, keyword.line);
    op("else", keyword);
    describe(DecisionKind::Else, if_part.text, keyword.line);
    paths_.running = if_part.recorded;
    end_statement();
}

SemanticValue MeasuringEvents::if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise) {
    control(NodeKind::FISI, otherwise.end_line);
    unnest();
    count_statement();
    SemanticValue value = statement_value(if_part.line, otherwise.end_line);
    bool computable = if_part.path >= 0 && otherwise.path >= 0 && if_part.mark == 0 && otherwise.mark == 0;
    value.path = computable ? if_part.path + otherwise.path : -1;
    paths_.running = times(if_part.recorded, value.path);
    end_statement();
    return value;
}

// --- loops ---

void MeasuringEvents::begin_loop() {
    statement_start();
    if (components_.open()) ++totals()[Total::VG];
    nest();
}

void MeasuringEvents::loop_start(const SemanticValue&) { begin_loop(); }

// A loop or switch head: the running count is recorded, the jump totals
// are saved and start again from 0.
void MeasuringEvents::path_head(SemanticValue& head, double running_after) {
    head.recorded = paths_.running;
    saved_heads_.push_back({0, std::trunc(paths_.returns), std::trunc(paths_.breaks)});
    paths_.returns = 0;
    paths_.breaks = 0;
    paths_.running = running_after;
}

void MeasuringEvents::path_tail(const SemanticValue& head, double count) {
    Accumulators saved = saved_heads_.empty() ? Accumulators{0, 0, 0} : saved_heads_.back();
    if (!saved_heads_.empty()) saved_heads_.pop_back();
    paths_.running = times(count, head.recorded);
    paths_.returns = plus(saved.returns, times(paths_.returns, head.recorded));
    paths_.breaks = saved.breaks;
}

SemanticValue MeasuringEvents::while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                               const SemanticValue&) {
    const std::string* condition = captured_text(capture, ")");
    control(NodeKind::TQUE, keyword.line);
    count(ct_while);
    describe(DecisionKind::While, condition, keyword.line);
    SemanticValue head = empty_value();
    head.text = condition;
    head.line = keyword.line;
    path_head(head, 1.0);
    constructs_.push_back(Construct::Loop);
    end_statement();
    return head;
}

SemanticValue MeasuringEvents::do_start(const SemanticValue& keyword) {
    begin_loop();
    control(NodeKind::REPE, keyword.line);
    count(ct_dowhile);
    SemanticValue head = empty_value();
    head.line = keyword.line;
    path_head(head, 1.0);
    constructs_.push_back(Construct::Loop);
    end_statement();
    return head;
}

SemanticValue MeasuringEvents::do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                            const SemanticValue&) {
    SemanticValue value = empty_value();
    value.text = captured_text(capture, ")");
    describe(DecisionKind::Repeat, value.text, keyword.line);
    return value;
}

SemanticValue MeasuringEvents::for_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                             const SemanticValue&, const SemanticValue&) {
    SemanticValue value = empty_value();
    value.text = captured_text(capture, ";");
    value.decision = describe(DecisionKind::ForLoop, value.text, keyword.line);
    return value;
}

SemanticValue MeasuringEvents::for_head(const SemanticValue& keyword, const SemanticValue& condition,
                                        const SemanticValue&, const SemanticValue&) {
    control(NodeKind::POUR, keyword.line);
    count(ct_for);
    SemanticValue head = empty_value();
    head.line = keyword.line;
    head.text = condition.text;
    path_head(head, 1.0);
    constructs_.push_back(Construct::Loop);
    end_statement();
    return head;
}

SemanticValue MeasuringEvents::loop_end(const SemanticValue& head, const SemanticValue& body, NodeKind end_kind,
                                     int end_line, bool mark_matters, DecisionKind end_decision,
                                     const char* operator_text, const SemanticValue& keyword) {
    control(end_kind, end_line);
    unnest();
    describe(end_decision, head.text, end_line);
    count_statement();
    op(operator_text, keyword);
    SemanticValue value = statement_value(head.line, end_line);
    bool computable = body.path >= 0 && !(mark_matters && body.mark != 0);
    value.path = computable ? plus(paths_.breaks, body.path + 1.0) : -1;
    path_tail(head, value.path);
    if (!constructs_.empty()) constructs_.pop_back();
    end_statement();
    return value;
}

SemanticValue MeasuringEvents::while_end(const SemanticValue& head, const SemanticValue& body,
                                         const SemanticValue& keyword) {
    return loop_end(head, body, NodeKind::FITQ, body.end_line, true, DecisionKind::EndWhile, "while()", keyword);
}

SemanticValue MeasuringEvents::do_end(const SemanticValue& head, const SemanticValue& body,
                                      const SemanticValue& keyword, int end_line) {
    return loop_end(head, body, NodeKind::UNTI, end_line, true, DecisionKind::EndRepeat, "do while()", keyword);
}

SemanticValue MeasuringEvents::for_end(const SemanticValue& head, const SemanticValue& body,
                                       const SemanticValue& keyword) {
    return loop_end(head, body, NodeKind::FIPO, body.end_line, false, DecisionKind::EndForLoop, "for(;;)", keyword);
}

// --- switch ---

void MeasuringEvents::switch_start(const SemanticValue&) { statement_start(); }

SemanticValue MeasuringEvents::switch_head(const SemanticValue& keyword, const SemanticValue& capture,
                                           const SemanticValue&) {
    control(NodeKind::SWCH, keyword.line);
    count(ct_switch);
    nest();
    op("switch()", keyword);
    const std::string* expression = captured_text(capture, ")");
    if (components_.counts) components_.counts->decisions.switch_open(*expression);
    SemanticValue head = empty_value();
    head.line = keyword.line;
    path_head(head, 0.0);
    constructs_.push_back(Construct::Switch);
    switch_has_default_.push_back(false);
    end_statement();
    return head;
}

SemanticValue MeasuringEvents::switch_end(const SemanticValue& head, const SemanticValue& body) {
    bool has_default = !switch_has_default_.empty() && switch_has_default_.back();
    if (!switch_has_default_.empty()) switch_has_default_.pop_back();
    if (!has_default && current_module() && components_.model.new_results())
        components_.graph.control_label(current_module()->controls, kSwitchDestination);
    control(NodeKind::FISW, body.end_line);
    unnest();
    // The implicit default's branch, when the switch has none of its own.
    last_branch_ = 0;
    if (ModuleRecord* module = current_module())
        last_branch_ = components_.counts->decisions.switch_close(module->descriptions, body.end_line);
    count_statement();
    SemanticValue value = statement_value(head.line, body.end_line);
    value.path = body.path < 0 ? -1 : plus(body.mark * body.path, paths_.breaks);
    if (!has_default && value.path >= 0) value.path += 1.0;
    path_tail(head, value.path);
    if (!constructs_.empty()) constructs_.pop_back();
    end_statement();
    return value;
}

// The first label of a group opens a new case path of the switch: one
// more path, and the "*SD*" destination label on the next node.
SemanticValue MeasuringEvents::case_path(int line) {
    SemanticValue value = statement_value(line, line);
    if (components_.open() && case_path_flag_) {
        count(ct_casepath);
        ++totals()[Total::VG];
        paths_.running = plus(paths_.running, 1.0);
        case_path_flag_ = false;
        if (components_.model.new_results())
            components_.graph.control_label(current_module()->controls, kSwitchDestination);
        value.opened_path = true;
    }
    value.recorded = paths_.running;
    return value;
}

SemanticValue MeasuringEvents::case_label(const SemanticValue& capture, const SemanticValue& keyword) {
    count(ct_case);
    const std::string* label = captured_text(capture, ":");
    if (ModuleRecord* module = current_module())
        components_.counts->decisions.switch_case(module->descriptions, *label, keyword.line);
    return case_path(keyword.line);
}

SemanticValue MeasuringEvents::default_label(const SemanticValue& keyword) {
    if (!switch_has_default_.empty()) switch_has_default_.back() = true;
    count(ct_case);
    if (ModuleRecord* module = current_module())
        components_.counts->decisions.switch_default(module->descriptions, keyword.line);
    return case_path(keyword.line);
}

// A case or default label that ends the switch's block (C23, GNU C) is
// a statement of its own for the pending labels: their description, an
// empty node.
SemanticValue MeasuringEvents::labelled_case(const SemanticValue& label, const SemanticValue& statement) {
    if (statement.nothing) statement_start();
    SemanticValue value = statement.nothing ? label_alone(label.line) : statement;
    value.line = label.line;
    if (label.opened_path) {
        paths_.running = times(statement.path, label.recorded);
        value.mark = 1;
    } else {
        value.mark = 0;
    }
    end_statement();
    return value;
}

// --- jumps ---

// The parts all jumps share: the statement, its node, its value.
SemanticValue MeasuringEvents::jump(NodeKind kind, const SemanticValue& keyword, const SemanticValue& semicolon) {
    statement_start();
    control(kind, keyword.line);
    count_statement();
    end_statement();
    SemanticValue value = statement_value(keyword.line, semicolon.line);
    return value;
}

// The paths that reach a break, continue or return leave the running count
// for the total they join.
void MeasuringEvents::leave_paths(double& total) {
    total = plus(total, paths_.running);
    paths_.running = 0;
}

// A break or continue: a jump out of the structure, whose paths join the
// construct's breaks.
SemanticValue MeasuringEvents::leave_construct(SemanticValue jump) {
    if (components_.open()) ++totals()[Total::COND_STRUCT];
    leave_paths(paths_.breaks);
    jump.path = 0;
    return jump;
}

SemanticValue MeasuringEvents::break_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::SORT, keyword, semicolon);
    op("break", keyword);
    op(";", semicolon);
    bool in_switch = !constructs_.empty() && constructs_.back() == Construct::Switch;
    count(in_switch ? ct_break_inswitch : ct_break_inloop, !constructs_.empty());
    return leave_construct(value);
}

SemanticValue MeasuringEvents::continue_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::REBO, keyword, semicolon);
    count(ct_continue);
    return leave_construct(value);
}

SemanticValue MeasuringEvents::return_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::RETU, keyword, semicolon);
    op("return", keyword);
    op(";", semicolon);
    if (components_.open() && saved_nested_.empty()) {
        ++totals()[Total::RETU];
        ++totals()[Total::N_OUT];
    }
    leave_paths(paths_.returns);
    value.path = 0;
    value.returns = true;
    return value;
}

SemanticValue MeasuringEvents::goto_statement(const SemanticValue& keyword, const SemanticValue& label,
                                           const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::SAUT, keyword, semicolon);
    if (ModuleRecord* module = current_module(); module && label.str && components_.model.new_results())
        components_.graph.control_target(module->controls, *label.str);
    op("goto", keyword);
    op(";", semicolon);
    if (components_.open()) ++totals()[Total::GOTO];
    value.path = -1;
    return value;
}

SemanticValue MeasuringEvents::leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::ENAD, keyword, semicolon);
    if (components_.open()) ++totals()[Total::COND_STRUCT];
    return value;
}

void MeasuringEvents::label_address(const SemanticValue& op_token, const SemanticValue& name) {
    op("&& unary", op_token);
    operand(name);
    if (components_.open() && name.str) address_taken_.push_back(*name.str);
}

// A jump whose destination the program computes: a node of its own kind,
// whose targets are the labels whose address the function takes. Like a
// goto, it leaves the path count uncomputed.
SemanticValue MeasuringEvents::computed_goto(const SemanticValue& keyword, const SemanticValue& star,
                                             const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::SAUI, keyword, semicolon);
    if (ModuleRecord* module = current_module(); module && components_.model.new_results())
        computed_jumps_.push_back(module->controls.back().get());
    op("goto", keyword);
    op("* unary", star);
    op(";", semicolon);
    if (components_.open()) ++totals()[Total::GOTO];
    value.path = -1;
    return value;
}

// At the function's end every label whose address was taken, in the order
// of their first use, is a target of each computed jump.
void MeasuringEvents::link_computed_jumps() {
    std::vector<std::string> targets;
    for (const std::string& name : address_taken_)
        if (std::find(targets.begin(), targets.end(), name) == targets.end()) targets.push_back(name);
    for (ControlNode* jump : computed_jumps_) jump->targets = targets;
    computed_jumps_.clear();
    address_taken_.clear();
}

void MeasuringEvents::label(const SemanticValue& name) {
    statement_start();
    if (ModuleRecord* module = current_module(); module && name.str && components_.model.new_results())
        components_.graph.control_label(module->controls, *name.str);
}

// A label that ends the statement list stands on a node of its own.
SemanticValue MeasuringEvents::labelled_statement(const SemanticValue& name, const SemanticValue& statement) {
    return statement.nothing ? label_alone(name.line) : statement;
}

SemanticValue MeasuringEvents::label_alone(int line) {
    control(NodeKind::RIEN, line);
    return statement_value(line, line);
}

void MeasuringEvents::except_filter(const SemanticValue& keyword, const SemanticValue&) {
    statement_start();
    control(NodeKind::ENAD, keyword.line);
}

}  // namespace qor
