// What the grammar's reductions keep for parsing itself: the declaration
// scopes that tell type names from identifiers, the declaration
// specifiers and parameter lists, the token texts of the values, and the
// error recovery. Everything they measure or instrument goes out as
// grammar events. One object per source file.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "foundation/dialect.hpp"
#include "frontend/grammar_events.hpp"
#include "frontend/lexer.hpp"
#include "frontend/parser_stacks.hpp"
#include "frontend/scopes.hpp"

namespace qor {

class ParseActions {
public:
    ParseActions(GrammarEvents& events, const DialectState& dialect, Preprocessor& preprocessor);
    void set_lexer(Lexer* lexer) { lexer_ = lexer; }
    // The scopes the lexer consults for type names.
    const ScopeStack& scopes() const { return scopes_; }

    // --- the parser's side of the lexer ---
    int next_token(SemanticValue& value);
    void syntax_error(const char* message);
    ParserStacks& parser_stacks() { return parser_stacks_; }
    // The parser's pending token and its value, re-read when a scope closes.
    void watch_lookahead(int* token, SemanticValue* value) {
        lookahead_ = token;
        lookahead_value_ = value;
    }

    SemanticValue empty() const { return empty_value(); }
    const std::string* text(std::string_view text) { return intern(text); }
    const std::string* joined(const SemanticValue& first, const SemanticValue& second);

    // --- declarations ---
    void begin_specifiers(uint32_t flags);
    void end_declaration();
    // At the start of each external definition.
    void next_definition();
    void declare(const SemanticValue& name, bool type_name_token);
    void declare_enumerator(const SemanticValue& name);
    // Around the members of a structure or union.
    void begin_members() { member_levels_.push_back(scopes_.level()); }
    void end_members();
    int open_parameters();
    void close_parameters();
    void count_parameter(const SemanticValue& specifiers, bool abstract_empty);
    void identifier_parameter(const SemanticValue& name);
    void push_scope();
    void pop_scope();

    // --- functions ---
    void begin_function(const SemanticValue& declarator);
    void end_function(const SemanticValue& body);
    // A GNU C nested function: its body, after the '{', is read in the
    // scope of its parameters.
    void begin_nested_function(const SemanticValue& declarator, const SemanticValue& brace);
    void end_nested_function(const SemanticValue& close);

    // --- error recovery ---
    void start_recovery();
    void end_recovery();
    void unexpected_ellipsis(bool only_parameter);

private:
    const std::string* intern(std::string_view text);
    bool in_members() const { return !member_levels_.empty() && member_levels_.back() == scopes_.level(); }
    void record_parameter(const std::string& name, NameKind kind);
    void declare_parameters(const SemanticValue& declarator);

    GrammarEvents& events_;
    const DialectState& dialect_;
    Preprocessor& preprocessor_;
    Lexer* lexer_ = nullptr;
    // Names declared static: their functions' full names carry the file.
    std::unordered_set<std::string> static_names_;
    ScopeStack scopes_;
    // The scope level of each open list of members: a declarator at the
    // innermost list's level is a member; one in a parameter list or in a
    // block inside it is not.
    std::vector<int> member_levels_;
    int* lookahead_ = nullptr;
    SemanticValue* lookahead_value_ = nullptr;

    // Token texts of the current and of the previous external definition:
    // the parser's lookahead may still point into the previous one.
    std::deque<std::string> strings_;
    std::deque<std::string> previous_strings_;
    std::vector<uint32_t> specifiers_;
    struct ParameterList {
        std::vector<std::pair<std::string, NameKind>> names;
        int count = 0;
    };
    std::vector<ParameterList> parameter_lists_;
    std::vector<int> open_parameter_lists_;

    ParserStacks parser_stacks_;

    int recovery_lines_ = 0;
    bool recovering_ = false;
};

}  // namespace qor
