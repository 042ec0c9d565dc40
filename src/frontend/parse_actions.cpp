#include "frontend/parse_actions.hpp"

#include <cmath>

#include "foundation/diagnostics.hpp"
#include "frontend/keywords.hpp"

namespace qor {

namespace {

constexpr uint32_t kTypedefFlag = 8192;
constexpr uint32_t kVoidFlag = 256;
constexpr int kStatementCounter = 2;
constexpr const char* kSwitchDestination = "*SD*";

// -1 stands for a count that could not be computed; it absorbs everything.
double times(double a, double b) { return a < 0 || b < 0 ? -1 : a * b; }
double plus(double a, double b) { return a < 0 || b < 0 ? -1 : a + b; }

}  // namespace

ParseActions::ParseActions(const Setup& setup)
    : components_(*setup.components),
      dialect_(*setup.dialect),
      preprocessor_(*setup.preprocessor),
      on_dependency_(setup.on_dependency),
      emitter_(setup.emitter),
      file_names_(*setup.file_names) {}

// --- the lexer ---

int ParseActions::next_token(SemanticValue& value) {
    last_token_ = 0;
    size_t log_start = token_log_.size();
    int token = lexer_->next_token();
    if (last_token_ != 0 && conditions_active()) token_log_.mark(last_token_, log_start, lexer_->token_text());
    const TokenValue& token_value = lexer_->value();
    value = empty();
    value.token = last_token_;
    value.line = value.end_line = token_value.line;
    value.kwflags = token_value.kwflags;
    value.counted = token_value.from_source;
    if (token_value.has_str) value.str = intern(token_value.str);
    if (!token_value.op.empty()) value.text = intern(token_value.op);
    return token;
}

void ParseActions::syntax_error(const char* message) { lexer_->syntax_error(message); }

const std::string* ParseActions::intern(std::string_view text) { return &strings_.emplace_back(text); }

// The lexer's current file as one shared string per name: control nodes
// compare files by identity.
const std::string* ParseActions::current_file() {
    if (!last_file_ || *last_file_ != lexer_->current_file()) last_file_ = &*file_names_.insert(lexer_->current_file()).first;
    return last_file_;
}

SemanticValue ParseActions::empty() const {
    SemanticValue value{};
    value.path = 1.0;
    value.params = -1;
    value.capture_start = -1;
    return value;
}

// --- LexerClient ---

void ParseActions::count_occurrence(const std::string& text, int kind) {
    if (components_.open) components_.model->count_occurrence(kind, text, true);
}

// Ignored text inside a component stands on an ENAD node, one per run of
// ignored regions.
void ParseActions::mark_ignored_region(const std::string&, int line) {
    if (!components_.open || components_.graph->last_kind() == NodeKind::ENAD) return;
    control(NodeKind::ENAD, line);
}

void ParseActions::add_dependency(const std::string& file) {
    if (on_dependency_) on_dependency_(file);
}

void ParseActions::capture(std::string_view text, bool counted) {
    if (components_.open && counted) token_log_.add(text);
}

void ParseActions::echo(std::string_view text) { emitter_->echo_layout(text, components_.open); }

void ParseActions::line_marker(std::string_view text) { emitter_->line_marker(text, components_.open); }

void ParseActions::echo_token(std::string_view text) { last_token_ = emitter_->echo_token(text, components_.open); }

// --- occurrences ---

void ParseActions::operand(const SemanticValue& token) {
    if (token.str) components_.model->count_occurrence(3, *token.str, components_.open && token.counted);
}

void ParseActions::op(std::string_view text, const SemanticValue& token) {
    components_.model->count_occurrence(5, std::string(text), components_.open && token.counted);
}

void ParseActions::use_primary(const SemanticValue& primary) {
    if (primary.pending_operand) operand(primary);
}

void ParseActions::call(const SemanticValue& callee, const SemanticValue& paren) {
    if (!components_.open) return;
    // These built-ins want a constant or look at their argument without
    // evaluating it: a rewritten condition there would change the result.
    if (callee.str && (*callee.str == "__builtin_choose_expr" || *callee.str == "__builtin_constant_p"))
        unevaluated(callee);
    if (emitter_)
        emitter_->call(callee.token, consumed(), callee.pending_operand && callee.str ? *callee.str : std::string());
    ++totals()[Total::CALL];
    if (callee.pending_operand && callee.str) {
        components_.model->call_add(*callee.str, callee.line, callee.counted, *components_.graph);
        return;
    }
    ++totals()[Total::UPRO];
    op("()", paren);
}

void ParseActions::logical(int counter, const SemanticValue& token) {
    ct().ct_add(counter, components_.open && token.counted);
}

// --- declarations ---

// Every external definition starts at file scope with no component open:
// what error recovery left behind of the previous one is closed here.
void ParseActions::next_definition() {
    close_abandoned_component();
    while (scopes_.level() > 0) scopes_.pop();
    specifiers_.clear();
    parameter_lists_.clear();
    open_parameter_lists_.clear();
    previous_strings_.swap(strings_);
    strings_.clear();
}

void ParseActions::begin_specifiers(uint32_t flags) { specifiers_.push_back(flags); }

void ParseActions::end_declaration() {
    if (!specifiers_.empty()) specifiers_.pop_back();
}

void ParseActions::declare(const SemanticValue& name, bool type_name_token) {
    if (!name.str) return;
    if (!specifiers_.empty() && (specifiers_.back() & KW_STATIC) && scopes_.level() == 0) static_names_.insert(*name.str);
    bool is_typedef = !specifiers_.empty() && (specifiers_.back() & kTypedefFlag);
    if (is_typedef) {
        scopes_.declare(*name.str, NameKind::TypeName);
    } else if (type_name_token) {
        // A type name redeclared as an ordinary name hides the type here.
        scopes_.declare(*name.str, NameKind::OrdinaryName);
    }
    if (!open_parameter_lists_.empty())
        parameter_lists_[static_cast<size_t>(open_parameter_lists_.back())].names.emplace_back(
            *name.str, is_typedef ? NameKind::TypeName : NameKind::OrdinaryName);
    if (components_.open && !is_typedef) ++totals()[Total::LVAR];
}

int ParseActions::open_parameters() {
    push_scope();
    parameter_lists_.emplace_back();
    open_parameter_lists_.push_back(static_cast<int>(parameter_lists_.size()) - 1);
    return open_parameter_lists_.back();
}

void ParseActions::close_parameters() {
    if (open_parameter_lists_.empty()) return;
    open_parameter_lists_.pop_back();
    scopes_.pop();
}

void ParseActions::count_parameter(const SemanticValue& specifiers, bool abstract_empty) {
    if (open_parameter_lists_.empty()) return;
    // "(void)" declares no parameter.
    if (abstract_empty && specifiers.kwflags == kVoidFlag) return;
    ++parameter_lists_[static_cast<size_t>(open_parameter_lists_.back())].count;
}

void ParseActions::identifier_parameter(const SemanticValue& name) {
    if (open_parameter_lists_.empty() || !name.str) return;
    ParameterList& list = parameter_lists_[static_cast<size_t>(open_parameter_lists_.back())];
    list.names.emplace_back(*name.str, NameKind::OrdinaryName);
    ++list.count;
}

void ParseActions::push_scope() {
    if (!scopes_.push())
        report_at(MSG_FATAL, lexer_->current_file(), lexer_->value().line,
                  "Too many nesting : unable to continue analysis");
}

// --- functions ---

void ParseActions::begin_function(const SemanticValue& declarator) {
    saved_functions_.push_back(paths_);
    paths_ = Accumulators{};
    nesting_ = 1;
    described_begin_ = false;
    case_path_flag_ = false;
    clear_conditions();
    std::string name = declarator.str ? *declarator.str : std::string();
    components_.current_file = current_file();
    bool is_static = static_names_.count(name) > 0 || (!specifiers_.empty() && (specifiers_.back() & KW_STATIC));
    bool is_inline = !specifiers_.empty() && (specifiers_.back() & KW_INLINE);
    component_begin(components_, name, declarator.line, lexer_->value().line);
    // An inline definition with external linkage (the C library's extern
    // inline functions at -O2, for one) may not refer to the unit's static
    // counters: it is measured but gets no probes.
    if (emitter_ && components_.open && (is_static || !is_inline))
        emitter_->begin_function(name, name == "main" || is_static);
    push_scope();
    if (declarator.params >= 0) {
        const ParameterList& list = parameter_lists_[static_cast<size_t>(declarator.params)];
        for (const auto& [parameter, kind] : list.names) scopes_.declare(parameter, kind);
        if (components_.open) totals()[Total::PARA] = list.count;
    }
}

void ParseActions::end_function(const SemanticValue& body) {
    if (emitter_) emitter_->body_close(consumed(), !body.returns, components_.decisions->counter() - 1);
    if (components_.open && !body.returns) ++totals()[Total::N_OUT];
    double path = body.path < 0 ? -1 : body.path + paths_.returns;
    component_end(components_, body.end_line, path);
    if (!saved_functions_.empty()) {
        paths_ = saved_functions_.back();
        saved_functions_.pop_back();
    }
    scopes_.pop();
    parameter_lists_.clear();
    open_parameter_lists_.clear();
    clear_conditions();
}

// A function whose end the parser never reached (its text ended inside the
// body, or recovery swallowed its end) is closed where the text stopped,
// without a path count.
void ParseActions::close_abandoned_component() {
    if (!components_.open) return;
    if (emitter_) emitter_->abandon_function();
    component_end(components_, lexer_->value().line, -1);
    saved_functions_.clear();
    paths_ = Accumulators{};
    saved_heads_.clear();
    constructs_.clear();
    switch_has_default_.clear();
    components_.decisions->forget_switches();
    clear_conditions();
}

// --- statements: shared parts ---

ModuleRecord* ParseActions::current_module() { return components_.open ? components_.model->current() : nullptr; }

void ParseActions::control(NodeKind kind, int line) {
    if (ModuleRecord* module = current_module(); module && components_.model->new_results())
        components_.graph->control_add(module->controls, kind, current_file(), line);
}

int ParseActions::describe(DecisionKind kind, const std::string* text, int line) {
    ModuleRecord* module = current_module();
    if (!module) return 0;
    return components_.decisions->describe(module->descriptions, kind, text ? *text : std::string(), line);
}

void ParseActions::nest() {
    ++nesting_;
    if (components_.open && nesting_ > totals()[Total::LEVL]) totals()[Total::LEVL] = nesting_;
}

void ParseActions::count_statement() {
    if (components_.open) components_.model->counter_add(kStatementCounter, 1);
}

// The first action of every statement-level construct: the function's
// Begin decision once, and the pending case labels' description.
void ParseActions::statement_start() {
    ModuleRecord* module = current_module();
    if (!module) return;
    if (!described_begin_) {
        described_begin_ = true;
        describe(DecisionKind::Begin, nullptr, lexer_->value().line);
    }
    int case_group = components_.decisions->switch_flush(module->descriptions);
    if (emitter_ && case_group > 0) emitter_->case_probe(case_group);
}

void ParseActions::open_block(const SemanticValue& brace) {
    statement_start();
    if (emitter_) emitter_->body_open(brace.token);
}

SemanticValue ParseActions::simple_statement(const SemanticValue& first, int end_line,
                                             const SemanticValue& semicolon) {
    statement_start();
    control(NodeKind::RIEN, first.line);
    count_statement();
    op(";", semicolon);
    end_statement();
    SemanticValue value = empty();
    value.line = first.line;
    value.end_line = end_line;
    return value;
}

void ParseActions::expression_statement(const SemanticValue& expression) {
    condition_decision(expression, consumed(), expression.line, 0);
    if (emitter_) emitter_->reset_decision_index();
}

SemanticValue ParseActions::asm_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    statement_start();
    count_statement();
    end_statement();
    SemanticValue value = empty();
    value.line = keyword.line;
    value.end_line = semicolon.line;
    return value;
}

SemanticValue ParseActions::empty_block(const SemanticValue& open, const SemanticValue& close) {
    control(NodeKind::RIEN, open.line);
    op("{}", open);
    scopes_.pop();
    end_statement();
    SemanticValue value = empty();
    value.line = open.line;
    value.end_line = close.line;
    return value;
}

SemanticValue ParseActions::block(const SemanticValue& open, const SemanticValue& body, const SemanticValue& close) {
    op("{}", open);
    scopes_.pop();
    SemanticValue value = body;
    value.line = open.line;
    value.end_line = close.line;
    return value;
}

// A statement after others: its paths multiply those before it.
SemanticValue ParseActions::sequence(const SemanticValue& before, const SemanticValue& mark, const SemanticValue& next) {
    SemanticValue value = next;
    value.line = before.line;
    value.path = times(plus(before.path, next.mark), next.path);
    paths_.running = times(plus(mark.recorded, next.mark), next.path);
    return value;
}

SemanticValue ParseActions::record_running() const {
    SemanticValue value = empty();
    value.recorded = paths_.running;
    return value;
}

SemanticValue ParseActions::capture_mark() const {
    SemanticValue value = empty();
    value.capture_start = static_cast<int>(token_log_.size());
    return value;
}

// The tokens from the capture mark up to the last terminator read: the
// text of a condition or a case label.
const std::string* ParseActions::captured_text(const SemanticValue& capture, std::string_view terminator) {
    size_t start = capture.capture_start < 0 ? token_log_.size() : static_cast<size_t>(capture.capture_start);
    size_t end = token_log_.size();
    while (end > start && token_log_[end - 1] != terminator) --end;
    if (end > start) --end;
    return intern(token_log_.text(start, end));
}

const std::string* ParseActions::joined(const SemanticValue& first, const SemanticValue& second) {
    if (!first.str) return second.str;
    if (!second.str) return first.str;
    return intern(*first.str + " " + *second.str);
}

// --- if ---

void ParseActions::if_start() {
    statement_start();
    if (components_.open) ++totals()[Total::VG];
}

SemanticValue ParseActions::if_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                        const SemanticValue& condition_value) {
    const std::string* condition = captured_text(capture, ")");
    control(NodeKind::SI, keyword.line);
    ct().ct_add(ct_if, components_.open);
    nest();
    int branch = describe(DecisionKind::If, condition, keyword.line);
    condition_decision(condition_value, consumed(), keyword.line, branch);
    if (emitter_) emitter_->open_branch(consumed(), branch);
    end_statement();
    SemanticValue head = empty();
    head.recorded = paths_.running;
    head.text = condition;
    head.line = keyword.line;
    return head;
}

SemanticValue ParseActions::if_part(const SemanticValue& head, const SemanticValue& branch) const {
    SemanticValue value = head;
    value.path = branch.path;
    value.mark = branch.mark;
    value.end_line = branch.end_line;
    return value;
}

SemanticValue ParseActions::if_without_else(const SemanticValue& if_part) {
    control(NodeKind::FISI, if_part.end_line);
    unnest();
    int branch = describe(DecisionKind::Else, if_part.text, if_part.end_line);
    if (emitter_) emitter_->else_without_source(consumed(), branch);
    count_statement();
    SemanticValue value = empty();
    value.line = if_part.line;
    value.end_line = if_part.end_line;
    value.path = if_part.path < 0 || if_part.mark != 0 ? -1 : if_part.path + 1.0;
    paths_.running = times(if_part.recorded, value.path);
    end_statement();
    return value;
}

void ParseActions::else_start(const SemanticValue& if_part, const SemanticValue& keyword) {
    control(NodeKind::SINO, keyword.line);
    op("else", keyword);
    int branch = describe(DecisionKind::Else, if_part.text, keyword.line);
    if (emitter_) emitter_->else_keyword(keyword.token, branch);
    paths_.running = if_part.recorded;
    end_statement();
}

SemanticValue ParseActions::if_with_else(const SemanticValue& if_part, const SemanticValue& otherwise) {
    if (emitter_) emitter_->close_branch(consumed());
    control(NodeKind::FISI, otherwise.end_line);
    unnest();
    count_statement();
    SemanticValue value = empty();
    value.line = if_part.line;
    value.end_line = otherwise.end_line;
    bool computable = if_part.path >= 0 && otherwise.path >= 0 && if_part.mark == 0 && otherwise.mark == 0;
    value.path = computable ? if_part.path + otherwise.path : -1;
    paths_.running = times(if_part.recorded, value.path);
    end_statement();
    return value;
}

// --- loops ---

void ParseActions::begin_loop() {
    statement_start();
    if (components_.open) ++totals()[Total::VG];
    nest();
}

void ParseActions::loop_start(const SemanticValue& keyword) {
    begin_loop();
    if (emitter_) emitter_->loop_flag(keyword.token);
}

// A loop or switch head: the running count is recorded, the jump totals
// are saved and start again from 0.
void ParseActions::path_head(SemanticValue& head, double running_after) {
    head.recorded = paths_.running;
    saved_heads_.push_back({0, std::trunc(paths_.returns), std::trunc(paths_.breaks)});
    paths_.returns = 0;
    paths_.breaks = 0;
    paths_.running = running_after;
}

void ParseActions::path_tail(const SemanticValue& head, double count) {
    Accumulators saved = saved_heads_.empty() ? Accumulators{0, 0, 0} : saved_heads_.back();
    if (!saved_heads_.empty()) saved_heads_.pop_back();
    paths_.running = times(count, head.recorded);
    paths_.returns = plus(saved.returns, times(paths_.returns, head.recorded));
    paths_.breaks = saved.breaks;
}

SemanticValue ParseActions::while_condition(const SemanticValue& keyword, const SemanticValue& capture,
                                           const SemanticValue& condition_value) {
    const std::string* condition = captured_text(capture, ")");
    control(NodeKind::TQUE, keyword.line);
    ct().ct_add(ct_while, components_.open);
    int branch = describe(DecisionKind::While, condition, keyword.line);
    condition_decision(condition_value, consumed(), keyword.line, branch);
    if (emitter_) emitter_->open_branch(consumed(), branch);
    SemanticValue head = empty();
    head.text = condition;
    head.line = keyword.line;
    path_head(head, 1.0);
    constructs_.push_back(Construct::Loop);
    end_statement();
    return head;
}

SemanticValue ParseActions::do_start(const SemanticValue& keyword) {
    begin_loop();
    if (emitter_) emitter_->do_head(keyword.token);
    control(NodeKind::REPE, keyword.line);
    ct().ct_add(ct_dowhile, components_.open);
    SemanticValue head = empty();
    head.line = keyword.line;
    path_head(head, 1.0);
    constructs_.push_back(Construct::Loop);
    end_statement();
    return head;
}

SemanticValue ParseActions::do_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                        const SemanticValue& condition) {
    SemanticValue value = empty();
    value.text = captured_text(capture, ")");
    int branch = describe(DecisionKind::Repeat, value.text, keyword.line);
    condition_decision(condition, consumed(), keyword.line, branch);
    if (emitter_) {
        emitter_->reset_decision_index();
        emitter_->do_decision(consumed(), branch);
    }
    return value;
}

void ParseActions::do_while(const SemanticValue& keyword, const SemanticValue& paren) {
    if (emitter_) emitter_->do_tail(keyword.token, paren.token);
}

void ParseActions::for_init(const SemanticValue& keyword, const SemanticValue& clause) {
    condition_decision(clause, consumed(), keyword.line, 0);
}

SemanticValue ParseActions::for_condition(const SemanticValue& capture, const SemanticValue& keyword,
                                         const SemanticValue& condition, const SemanticValue& semicolon) {
    SemanticValue value = empty();
    value.text = captured_text(capture, ";");
    value.decision = describe(DecisionKind::ForLoop, value.text, keyword.line);
    condition_decision(condition, semicolon.token, keyword.line, value.decision);
    return value;
}

SemanticValue ParseActions::for_head(const SemanticValue& keyword, const SemanticValue& condition,
                                    const SemanticValue& step, const SemanticValue& paren) {
    condition_decision(step, paren.token, keyword.line, 0);
    if (emitter_) emitter_->open_branch(consumed(), condition.decision);
    control(NodeKind::POUR, keyword.line);
    ct().ct_add(ct_for, components_.open);
    SemanticValue head = empty();
    head.line = keyword.line;
    head.text = condition.text;
    path_head(head, 1.0);
    constructs_.push_back(Construct::Loop);
    end_statement();
    return head;
}

SemanticValue ParseActions::loop_end(const SemanticValue& head, const SemanticValue& body, NodeKind end_kind,
                                     int end_line, bool mark_matters, DecisionKind end_decision,
                                     const char* operator_text, const SemanticValue& keyword) {
    control(end_kind, end_line);
    unnest();
    int branch = describe(end_decision, head.text, end_line);
    if (emitter_) {
        if (end_kind == NodeKind::UNTI)
            emitter_->do_end(consumed());
        else
            emitter_->loop_exit(consumed(), branch);
    }
    count_statement();
    op(operator_text, keyword);
    SemanticValue value = empty();
    value.line = head.line;
    value.end_line = end_line;
    bool computable = body.path >= 0 && !(mark_matters && body.mark != 0);
    value.path = computable ? plus(paths_.breaks, body.path + 1.0) : -1;
    path_tail(head, value.path);
    if (!constructs_.empty()) constructs_.pop_back();
    end_statement();
    return value;
}

// --- switch ---

void ParseActions::switch_start(const SemanticValue& keyword) {
    statement_start();
    if (emitter_) emitter_->switch_flag(keyword.token);
}

SemanticValue ParseActions::switch_head(const SemanticValue& keyword, const SemanticValue& capture,
                                       const SemanticValue& expression) {
    control(NodeKind::SWCH, keyword.line);
    ct().ct_add(ct_switch, components_.open);
    nest();
    op("switch()", keyword);
    components_.decisions->switch_open(*captured_text(capture, ")"));
    condition_decision(expression, consumed(), keyword.line, 0);
    SemanticValue head = empty();
    head.line = keyword.line;
    path_head(head, 0.0);
    constructs_.push_back(Construct::Switch);
    switch_has_default_.push_back(false);
    end_statement();
    return head;
}

SemanticValue ParseActions::switch_end(const SemanticValue& head, const SemanticValue& body) {
    bool has_default = !switch_has_default_.empty() && switch_has_default_.back();
    if (!switch_has_default_.empty()) switch_has_default_.pop_back();
    if (!has_default && current_module() && components_.model->new_results())
        components_.graph->control_label(current_module()->controls, kSwitchDestination);
    control(NodeKind::FISW, body.end_line);
    unnest();
    int implicit_default = 0;
    if (ModuleRecord* module = current_module())
        implicit_default = components_.decisions->switch_close(module->descriptions, body.end_line);
    if (emitter_) emitter_->switch_end(consumed(), implicit_default);
    count_statement();
    SemanticValue value = empty();
    value.line = head.line;
    value.end_line = body.end_line;
    value.path = body.path < 0 ? -1 : plus(body.mark * body.path, paths_.breaks);
    if (!has_default && value.path >= 0) value.path += 1.0;
    path_tail(head, value.path);
    if (!constructs_.empty()) constructs_.pop_back();
    end_statement();
    return value;
}

// The first label of a group opens a new case path of the switch: one
// more path, and the "*SD*" destination label on the next node.
SemanticValue ParseActions::case_path() {
    SemanticValue value = empty();
    if (components_.open && case_path_flag_) {
        ct().ct_add(ct_casepath, 1);
        ++totals()[Total::VG];
        paths_.running = plus(paths_.running, 1.0);
        case_path_flag_ = false;
        if (components_.model->new_results())
            components_.graph->control_label(current_module()->controls, kSwitchDestination);
        value.opened_path = true;
    }
    value.recorded = paths_.running;
    return value;
}

SemanticValue ParseActions::case_label(const SemanticValue& capture, const SemanticValue& keyword) {
    ct().ct_add(ct_case, components_.open);
    const std::string* label = captured_text(capture, ":");
    if (ModuleRecord* module = current_module())
        components_.decisions->switch_case(module->descriptions, *label, keyword.line);
    if (emitter_) emitter_->label_end(consumed());
    return case_path();
}

SemanticValue ParseActions::default_label(const SemanticValue& keyword) {
    if (!switch_has_default_.empty()) switch_has_default_.back() = true;
    ct().ct_add(ct_case, components_.open);
    if (ModuleRecord* module = current_module())
        components_.decisions->switch_default(module->descriptions, keyword.line);
    if (emitter_) emitter_->label_end(consumed());
    return case_path();
}

SemanticValue ParseActions::labelled_case(const SemanticValue& label, const SemanticValue& statement) {
    SemanticValue value = statement;
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
SemanticValue ParseActions::jump(NodeKind kind, const SemanticValue& keyword, const SemanticValue& semicolon) {
    statement_start();
    control(kind, keyword.line);
    count_statement();
    end_statement();
    SemanticValue value = empty();
    value.line = keyword.line;
    value.end_line = semicolon.line;
    return value;
}

// The paths that reach a break, continue or return leave the running count
// for the total they join.
void ParseActions::leave_paths(double& total) {
    total = plus(total, paths_.running);
    paths_.running = 0;
}

SemanticValue ParseActions::break_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::SORT, keyword, semicolon);
    op("break", keyword);
    op(";", semicolon);
    bool in_switch = !constructs_.empty() && constructs_.back() == Construct::Switch;
    ct().ct_add(in_switch ? ct_break_inswitch : ct_break_inloop, components_.open && !constructs_.empty());
    if (emitter_ && !constructs_.empty() && !in_switch) emitter_->break_in_loop(keyword.token, semicolon.token);
    if (components_.open) ++totals()[Total::COND_STRUCT];
    leave_paths(paths_.breaks);
    value.path = 0;
    return value;
}

SemanticValue ParseActions::continue_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::REBO, keyword, semicolon);
    ct().ct_add(ct_continue, components_.open);
    if (components_.open) ++totals()[Total::COND_STRUCT];
    leave_paths(paths_.breaks);
    value.path = 0;
    return value;
}

SemanticValue ParseActions::return_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::RETU, keyword, semicolon);
    if (emitter_) emitter_->return_statement(keyword.token, semicolon.token);
    op("return", keyword);
    op(";", semicolon);
    if (components_.open) {
        ++totals()[Total::RETU];
        ++totals()[Total::N_OUT];
    }
    leave_paths(paths_.returns);
    value.path = 0;
    value.returns = true;
    return value;
}

void ParseActions::return_expression(const SemanticValue& keyword, const SemanticValue& expression,
                                     const SemanticValue& semicolon) {
    condition_decision(expression, semicolon.token, keyword.line, 0);
}

SemanticValue ParseActions::goto_statement(const SemanticValue& keyword, const SemanticValue& label,
                                           const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::SAUT, keyword, semicolon);
    if (ModuleRecord* module = current_module(); module && label.str && components_.model->new_results())
        components_.graph->control_target(module->controls, *label.str);
    op("goto", keyword);
    op(";", semicolon);
    if (components_.open) ++totals()[Total::GOTO];
    value.path = -1;
    return value;
}

SemanticValue ParseActions::leave_statement(const SemanticValue& keyword, const SemanticValue& semicolon) {
    SemanticValue value = jump(NodeKind::ENAD, keyword, semicolon);
    if (components_.open) ++totals()[Total::COND_STRUCT];
    return value;
}

void ParseActions::label(const SemanticValue& name) {
    statement_start();
    if (ModuleRecord* module = current_module(); module && name.str && components_.model->new_results())
        components_.graph->control_label(module->controls, *name.str);
}

// A label that ends the statement list stands on a node of its own.
SemanticValue ParseActions::labelled_statement(const SemanticValue& name, const SemanticValue& statement) {
    if (!statement.nothing) return statement;
    control(NodeKind::RIEN, name.line);
    SemanticValue value = empty();
    value.line = value.end_line = name.line;
    return value;
}

void ParseActions::except_filter(const SemanticValue& keyword, const SemanticValue& filter) {
    statement_start();
    control(NodeKind::ENAD, keyword.line);
    condition_decision(filter, consumed(), keyword.line, 0);
}

// --- error recovery ---

// Lines swallowed while the parser recovers count for the component.
void ParseActions::start_recovery() {
    ct().ct_add_n(lc_parse, 1);
    if (!recovering_) {
        recovering_ = true;
        recovery_lines_ = 0;
        preprocessor_.set_line_counter(&recovery_lines_);
    }
}

void ParseActions::end_recovery() {
    if (!recovering_) return;
    recovering_ = false;
    preprocessor_.set_line_counter(nullptr);
    ct().ct_add_n(lc_parse, recovery_lines_);
    recovery_lines_ = 0;
}

void ParseActions::unexpected_ellipsis(bool only_parameter) {
    int line = lexer_->value().line;
    if (only_parameter) {
        if (dialect_.ansi_preprocessing)
            report_at(MSG_WARNING, lexer_->current_file(), line, "\"ANSI C requires formal parameter before \"...\"");
    } else if (dialect_.code != 8 && dialect_.code != 9) {
        report_at(MSG_WARNING, lexer_->current_file(), line, "\"...\" is not authorized in non ANSI parameter declaration");
    }
}

}  // namespace qor
