// The measuring side of the events of tokens, expressions, declarations
// and functions; the statements are in measuring_statements.cpp.
#include "analysis/measuring_events.hpp"

#include "analysis/path_count.hpp"

namespace qor {

MeasuringEvents::MeasuringEvents(AnalysisModel& model, MetricCollector& metrics) : components_(model, metrics) {}

std::optional<Construct> MeasuringEvents::innermost_construct() const {
    if (constructs_.empty()) return std::nullopt;
    return constructs_.back();
}

// The lexer's current file as one shared string per name: control nodes
// compare files by identity.
const std::string* MeasuringEvents::current_file() {
    if (!last_file_ || *last_file_ != lexer_->current_file()) last_file_ = &*file_names_.insert(lexer_->current_file()).first;
    return last_file_;
}

ModuleRecord* MeasuringEvents::current_module() { return components_.open() ? components_.model.current() : nullptr; }

// --- LexerClient ---

void MeasuringEvents::count_occurrence(const std::string& text, Occurrence kind) {
    if (components_.open()) components_.model.count_occurrence(kind == Occurrence::Operand ? OOPN : OOPT, text, true);
}

void MeasuringEvents::comments_inside(const CommentCounts& counts) {
    totals()[Total::BCOM] += counts.groups;
    totals()[Total::LCOM] += counts.lines;
    totals()[Total::CCOM] += counts.chars;
}

// Outside components BCOM, LCOM and CCOM hold the comments just before the
// token (the next component takes them as its own), and BCOB, LCOB and
// CCOB add up every comment outside.
void MeasuringEvents::comments_outside(const CommentCounts& counts) {
    totals()[Total::BCOM] = counts.groups;
    totals()[Total::LCOM] = counts.lines;
    totals()[Total::CCOM] = counts.chars;
    totals()[Total::BCOB] += counts.groups;
    totals()[Total::LCOB] += counts.lines;
    totals()[Total::CCOB] += counts.chars;
}

void MeasuringEvents::macro_use(bool function_like) { ++totals()[function_like ? Total::MACP : Total::MACC]; }

// Ignored text inside a component stands on an ENAD node, one per run of
// ignored regions.
void MeasuringEvents::mark_ignored_region(const std::string&, int line) {
    if (!components_.open() || components_.graph.last_kind() == NodeKind::ENAD) return;
    control(NodeKind::ENAD, line);
}

void MeasuringEvents::capture(std::string_view text, bool counted) {
    if (components_.open() && counted) token_log_.add(text);
}

// --- expressions ---

void MeasuringEvents::operand(const SemanticValue& token) {
    if (token.str) components_.model.count_occurrence(OOPN, *token.str, components_.open() && token.counted);
}

void MeasuringEvents::op(std::string_view text, const SemanticValue& token) {
    components_.model.count_occurrence(OOPT, std::string(text), components_.open() && token.counted);
}

void MeasuringEvents::use_primary(const SemanticValue& primary) {
    if (primary.pending_operand) operand(primary);
}

void MeasuringEvents::call(const SemanticValue& callee, const SemanticValue& paren) {
    if (!components_.open()) return;
    ++totals()[Total::CALL];
    if (callee.pending_operand && callee.str) {
        components_.model.call_add(*callee.str, callee.line, callee.counted, components_.graph);
        return;
    }
    ++totals()[Total::UPRO];
    op("()", paren);
}

void MeasuringEvents::logical(Conditional kind, const SemanticValue& token) {
    int counter = kind == Conditional::And ? ct_andthen : kind == Conditional::Or ? ct_orelse : ct_ternary;
    count(counter, token.counted);
}

// Their arguments are types, constants or unevaluated operands.
SemanticValue MeasuringEvents::builtin_with_types(const SemanticValue& keyword) {
    op(keyword.str ? *keyword.str : "__builtin", keyword);
    SemanticValue value = empty_value();
    value.token = keyword.token;
    value.line = value.end_line = keyword.line;
    return value;
}

SemanticValue MeasuringEvents::capture_mark() const {
    SemanticValue value = empty_value();
    value.capture_start = static_cast<int>(token_log_.size());
    return value;
}

// --- declarations and functions ---

void MeasuringEvents::object_declared() {
    if (components_.open()) ++totals()[Total::LVAR];
}

void MeasuringEvents::function_begin(const FunctionStart& start) {
    saved_functions_.push_back(paths_);
    paths_ = Accumulators{};
    nesting_ = 1;
    described_begin_ = false;
    case_path_flag_ = false;
    token_log_.clear();
    components_.current_file = current_file();
    component_begin(components_, start.name, start.line, start.current_line);
    if (start.parameters >= 0 && components_.open()) totals()[Total::PARA] = start.parameters;
}

void MeasuringEvents::function_end(const SemanticValue& body) {
    link_computed_jumps();
    if (components_.open() && !body.returns) ++totals()[Total::N_OUT];
    double path = body.path < 0 ? -1 : body.path + paths_.returns;
    component_end(components_, body.end_line, path);
    if (!saved_functions_.empty()) {
        paths_ = saved_functions_.back();
        saved_functions_.pop_back();
    }
    token_log_.clear();
}

// Called at each external definition and at the end of the text. A
// function whose end the parser never reached (its text ended inside the
// body, or recovery swallowed its end) is closed where the text stopped,
// without a path count.
void MeasuringEvents::close_abandoned_function() {
    if (components_.open()) {
        component_end(components_, lexer_->value().line, -1);
        saved_functions_.clear();
        saved_nested_.clear();
        paths_ = Accumulators{};
        saved_heads_.clear();
        constructs_.clear();
        switch_has_default_.clear();
        computed_jumps_.clear();
        address_taken_.clear();
        asm_targets_.clear();
        token_log_.clear();
    }
    previous_strings_.swap(strings_);
    strings_.clear();
}

// A nested function is measured as part of the function around it: its
// statements, operators, operands, calls and decisions count there. Its
// paths and returns are its own: the paths of the function around it go
// past the definition, and a return of the nested function is no exit of
// the function around it.
void MeasuringEvents::nested_function_begin(const SemanticValue&) {
    saved_nested_.push_back(paths_);
    paths_ = Accumulators{};
}

void MeasuringEvents::nested_function_end(const SemanticValue&) {
    if (saved_nested_.empty()) return;
    paths_ = saved_nested_.back();
    saved_nested_.pop_back();
}

void MeasuringEvents::recovery_lines(int lines) {
    if (components_.counts) components_.counts->ct.ct_add_n(lc_parse, lines);
}

}  // namespace qor
