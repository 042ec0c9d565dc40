#include "frontend/parse_actions.hpp"

#include "foundation/diagnostics.hpp"
#include "frontend/keywords.hpp"
#include "frontend/tokens.hpp"

namespace qor {

namespace {

constexpr uint32_t kTypedefFlag = 8192;
constexpr uint32_t kVoidFlag = 256;

}  // namespace

ParseActions::ParseActions(GrammarEvents& events, const DialectState& dialect, Preprocessor& preprocessor)
    : events_(events), dialect_(dialect), preprocessor_(preprocessor) {}

// --- the lexer ---

int ParseActions::next_token(SemanticValue& value) {
    events_.reading_token();
    int token = lexer_->next_token();
    const TokenValue& token_value = lexer_->value();
    value = empty_value();
    value.line = value.end_line = token_value.line;
    value.kwflags = token_value.kwflags;
    value.counted = token_value.from_source;
    if (token_value.has_str) value.str = intern(token_value.str);
    if (!token_value.op.empty()) value.text = intern(token_value.op);
    events_.token_read(value, lexer_->token_text());
    return token;
}

void ParseActions::syntax_error(const char* message) { lexer_->syntax_error(message); }

const std::string* ParseActions::intern(std::string_view text) { return &strings_.emplace_back(text); }

const std::string* ParseActions::joined(const SemanticValue& first, const SemanticValue& second) {
    if (!first.str) return second.str;
    if (!second.str) return first.str;
    return intern(*first.str + " " + *second.str);
}

// --- declarations ---

// Every external definition starts at file scope with no component open:
// what error recovery left behind of the previous one is closed here.
void ParseActions::next_definition() {
    events_.close_abandoned_function();
    while (scopes_.level() > 0) pop_scope();
    member_levels_.clear();
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
    if (!is_typedef) events_.object_declared();
    // A member is in its structure's own name space: it neither makes nor
    // hides a type name.
    if (in_members()) return;
    if (is_typedef) {
        scopes_.declare(*name.str, NameKind::TypeName);
    } else if (type_name_token) {
        // A type name redeclared as an ordinary name hides the type here.
        scopes_.declare(*name.str, NameKind::OrdinaryName);
    }
    record_parameter(*name.str, is_typedef ? NameKind::TypeName : NameKind::OrdinaryName);
}

// An enumeration constant is an ordinary identifier of the scope where its
// enumeration stands, even inside a structure. Its scope starts after its
// value, which may still use the type name.
void ParseActions::declare_enumerator(const SemanticValue& name) {
    if (!name.str || !scopes_.is_type_name(*name.str)) return;
    scopes_.declare(*name.str, NameKind::OrdinaryName);
    record_parameter(*name.str, NameKind::OrdinaryName);
}

void ParseActions::end_members() {
    if (!member_levels_.empty()) member_levels_.pop_back();
}

// A function definition declares the names of its parameter list again in
// its body.
void ParseActions::record_parameter(const std::string& name, NameKind kind) {
    if (!open_parameter_lists_.empty())
        parameter_lists_[static_cast<size_t>(open_parameter_lists_.back())].names.emplace_back(name, kind);
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
    pop_scope();
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

// A list of members left open by error recovery closes with its scope.
// The parser may already hold the token after the scope (after an if
// without else, it looks for the else): read with the outer scope, an
// identifier may be a type name again, or no longer one.
void ParseActions::pop_scope() {
    scopes_.pop();
    while (!member_levels_.empty() && member_levels_.back() > scopes_.level()) member_levels_.pop_back();
    if (!lookahead_ || !lookahead_value_ || !lookahead_value_->str) return;
    if (*lookahead_ == IDENTIFICATEUR || *lookahead_ == NOM_DE_TYPE)
        *lookahead_ = scopes_.is_type_name(*lookahead_value_->str) ? NOM_DE_TYPE : IDENTIFICATEUR;
}

// --- functions ---

void ParseActions::begin_function(const SemanticValue& declarator) {
    FunctionStart start;
    start.name = declarator.str ? *declarator.str : std::string();
    start.line = declarator.line;
    start.current_line = lexer_->value().line;
    start.is_static = static_names_.count(start.name) > 0 || (!specifiers_.empty() && (specifiers_.back() & KW_STATIC));
    start.is_inline = !specifiers_.empty() && (specifiers_.back() & KW_INLINE);
    if (declarator.params >= 0) start.parameters = parameter_lists_[static_cast<size_t>(declarator.params)].count;
    events_.function_begin(start);
    declare_parameters(declarator);
}

// The body's scope, with the names of the declarator's parameter list.
void ParseActions::declare_parameters(const SemanticValue& declarator) {
    push_scope();
    if (declarator.params < 0) return;
    for (const auto& [parameter, kind] : parameter_lists_[static_cast<size_t>(declarator.params)].names)
        scopes_.declare(parameter, kind);
}

void ParseActions::begin_nested_function(const SemanticValue& declarator, const SemanticValue& brace) {
    events_.nested_function_begin(brace);
    declare_parameters(declarator);
}

void ParseActions::end_nested_function(const SemanticValue& close) {
    pop_scope();
    events_.nested_function_end(close);
}

void ParseActions::end_function(const SemanticValue& body) {
    events_.function_end(body);
    pop_scope();
    parameter_lists_.clear();
    open_parameter_lists_.clear();
}

// --- error recovery ---

// Lines swallowed while the parser recovers count for the component.
void ParseActions::start_recovery() {
    events_.recovery_lines(1);
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
    events_.recovery_lines(recovery_lines_);
    recovery_lines_ = 0;
}

void ParseActions::unexpected_ellipsis(bool only_parameter) {
    int line = lexer_->value().line;
    if (only_parameter) {
        if (dialect_.ansi_preprocessing)
            report_at(MSG_WARNING, lexer_->current_file(), line, "\"ANSI C requires formal parameter before \"...\"");
    } else if (!dialect_.gnu_family()) {
        report_at(MSG_WARNING, lexer_->current_file(), line, "\"...\" is not authorized in non ANSI parameter declaration");
    }
}

}  // namespace qor
