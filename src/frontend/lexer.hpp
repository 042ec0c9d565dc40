// The lexer: turns the preprocessor's character stream into the grammar's
// tokens, handles the lines that start with '#', and counts comments and
// macro uses for the analysis.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

#include "foundation/dialect.hpp"
#include "frontend/ignore_file.hpp"
#include "frontend/lexer_client.hpp"
#include "frontend/scopes.hpp"
#include "frontend/tokens.hpp"
#include "preprocessor/language_standard.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

// The semantic value of the token last returned.
struct TokenValue {
    std::string str;
    bool has_str = false;
    std::string op;  // for ASSIGNMENT and '='
    uint32_t kwflags = 0;
    int line = 0;
    bool from_source = false;
    bool macro_line_flag = false;
};

// Which macros the lexer expands.
struct MacroFilter {
    bool expansion_mode = true;  // -mode=exp
    // The macro-name file's names; null when there is no such file.
    const std::unordered_set<std::string>* listed = nullptr;

    // In expansion mode every macro but the listed ones; otherwise only
    // the listed ones.
    bool expands(const std::string& name) const {
        bool is_listed = listed && listed->count(name) != 0;
        return expansion_mode ? !is_listed : is_listed;
    }
};

struct LexerSetup {
    const DialectState* dialect = nullptr;
    Preprocessor* preprocessor = nullptr;
    LexerClient* client = nullptr;
    // The parser's scopes, which tell type names from identifiers; none
    // makes every name an identifier.
    const ScopeStack* type_names = nullptr;
    // Told about every file that the preprocessed text included.
    std::function<void(const std::string&)> on_dependency;
    const IgnoreRules* ignore = nullptr;
    MacroFilter macros;
    std::string main_source;  // include markers naming it add no dependency
};

class Lexer {
public:
    explicit Lexer(const LexerSetup& setup);

    int next_token();
    const TokenValue& value() const { return value_; }
    const std::string& token_text() const { return text_; }
    bool at_end() const { return end_of_input_; }
    const std::string& current_file() const { return current_file_; }
    int statement_start_line() const { return statement_line_; }
    // The parser's error callback.
    void syntax_error(std::string_view message);
    // C23 mode: its syntax, and its keywords where the compiler has them.
    void set_c23(C23Reading reading) { c23_ = reading; }

private:
    int scan();
    int next_significant_char();
    int line_start();
    bool directive_line();
    void run_directive(const std::string& name);
    void echo_directive(const char* directive);
    void pragma_line();
    void finish_line();
    void line_markers_in_region();
    bool line_marker();
    void skip_ignored(const std::string& start_word, const IgnoredRegion& region);
    std::optional<std::string> unicode_prefix(int first);
    bool range_may_follow() const;
    bool enum_base_follows();
    void track_asm(int token);
    bool skip_asm_operand_name();
    bool skip_standard_attribute();
    bool array_bound_annotation(int token);
    int peek_past_blanks();
    bool next_char_is(int wanted);
    int literal(int quote, const std::string& prefix);
    int identifier(int first, bool& rescan);
    bool expand_identifier(const std::string& name);
    void record_macro_use(const std::string& name, bool function_like, const std::vector<std::string>& arguments);
    bool comment_marker(const std::string& body);
    int finish(int token);
    void statement_bookkeeping(int token);
    void take_comments();
    void refresh_file_name();
    void report(int severity, std::string_view message);

    const DialectState& dialect_;
    Preprocessor& pp_;
    LexerClient& client_;
    const ScopeStack* type_names_;
    std::function<void(const std::string&)> on_dependency_;
    const IgnoreRules* ignore_;
    MacroFilter macros_;
    std::string main_source_;

    TokenValue value_;
    std::string text_;
    std::string current_file_;
    bool at_line_start_ = true;
    bool end_of_input_ = false;
    int previous_token_ = -1;
    int token_before_previous_ = -1;
    C23Reading c23_;
    int asm_depth_ = 0;
    bool counting_ = false;
    int marked_expansions_ = 0;
    bool macro_seen_ = false;
    int statement_line_ = 0;
    bool comments_before_token_ = false;
};

}  // namespace qor
