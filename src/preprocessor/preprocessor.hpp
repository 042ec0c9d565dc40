// The preprocessor of one source file: it delivers the file's characters
// with comments removed, follows conditionals, includes, #line and line
// markers, and expands the macros of its own table.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "foundation/dialect.hpp"
#include "preprocessor/conditional_stack.hpp"
#include "preprocessor/if_expression.hpp"
#include "preprocessor/input_stack.hpp"
#include "preprocessor/macro_table.hpp"
#include "preprocessor/marker_protocol.hpp"

namespace qor {

// Comments seen since the lexer last took the counts.
struct CommentCounts {
    int groups = 0;  // 1 when any comment was seen
    int lines = 0;
    int chars = 0;   // identifier characters inside comments
};

// A file that an #include found, open for reading.
struct IncludedFile {
    FILE* file;
    std::string path;
};

// A macro use whose expansion was started.
struct MacroUse {
    bool function_like = false;
    std::vector<std::string> arguments;
};

// The directives that open a group (#elif is tested as an #if).
enum ConditionalKind : int { COND_IF = 1, COND_IFDEF = 2, COND_IFNDEF = 3 };

class Preprocessor final : public ExpressionInput {
public:
    explicit Preprocessor(const DialectState& dialect);

    // --- set-up, before the input starts ---
    // An include directory of the options file: searched last.
    void add_include_directory(const std::string& directory);
    // An include directory of a -I option: before those of the options file,
    // after earlier -I directories.
    void insert_include_directory(const std::string& directory);
    MacroTable& macros() { return macros_; }
    SizeTable& sizes() { return sizes_; }
    void assert_predicate(const std::string& predicate) { assertions_.insert(predicate); }
    // -D, -U, -I and -S of the compiler-style arguments, in order.
    void preprocessor_options(const std::vector<std::string>& arguments);
    // The source file itself is the bottom input (internal mode).
    bool start_file(const std::string& source);
    // The external preprocessor's output is the bottom input.
    void start_pipe(std::unique_ptr<platform::ChildOutput> pipe, std::vector<std::string> command,
                    const std::string& name);
    // Called with the command of a pipe whose child ended with a failure.
    void set_pipe_failure_handler(std::function<void(const std::vector<std::string>&)> handler) {
        inputs_.set_pipe_failure_handler(std::move(handler));
    }
    // Receives the text of a comment that begins with the comment marker,
    // after the marker; a comment it does not take is counted as usual.
    void set_marker_handler(std::function<bool(const std::string&)> handler) { marker_handler_ = std::move(handler); }
    void set_comment_marker(std::string marker) { comment_marker_ = std::move(marker); }
    // Called with the path of every file that #include opens.
    void set_include_handler(std::function<void(const std::string&)> handler) { include_handler_ = std::move(handler); }

    // --- the character layer ---
    int read_char() override;
    void unread_char(int c) override;
    void unread_text(std::string_view text) override;
    void set_in_literal(bool on) override { in_literal_ = on; }
    void report(int severity, std::string_view message) override;

    // --- macros ---
    bool is_macro(const std::string& name) override { return macros_.is_macro(name); }
    bool expand_macro(const std::string& name) override { return start_expansion(name).has_value(); }
    bool is_asserted(const std::string& predicate) override { return assertions_.count(predicate) != 0; }
    // Starts the expansion of a defined macro read just now; its text is
    // read next. Nothing when the name is not a macro use here.
    std::optional<MacroUse> start_expansion(const std::string& name);
    // Whether start_expansion would expand the name, without expanding.
    bool would_expand(const std::string& name);
    // Called by the lexer when a token starts in the file text, and at the
    // start of every line: the uses that follow are outermost again.
    void note_token_start();
    void note_line_start() { expansion_depth_ = 0; }
    int expansion_depth() const { return expansion_depth_; }
    // True while the characters come from the file text, not from an
    // expansion or a pushed-back text.
    bool reading_file_text();
    // True when the last character read came from the file text.
    bool last_char_from_file() const { return inputs_.last_from_stream(); }

    // --- directives, called by the lexer at the start of a line ---
    // The conditional that opens a group: a ConditionalKind.
    void do_if(ConditionalKind kind);
    // #elif, #elifdef or #elifndef: the group's next branch, tested as
    // #if, #ifdef or #ifndef.
    void do_elif(ConditionalKind kind);
    void do_else();
    void do_endif();
    void do_define();
    void do_undef();
    void do_include();
    void do_assert();
    void do_unassert();
    void do_line();
    // What followed the '#' of the last line marker or #line directive.
    const std::string& last_line_text() const { return last_line_text_; }
    // Discards the rest of the line; the newline stays to be read.
    void skip_line();
    bool compiling() const { return conditionals_.compiling(); }

    // --- state for the lexer ---
    int current_line() const { return inputs_.line(); }
    std::string current_file() const;
    bool take_file_changed() { return inputs_.take_file_changed(); }
    void set_comment_counting(bool on) { counting_ = on; }
    CommentCounts take_comment_counts();
    // Keeps the comments read from now on, each as a block comment on one
    // line, until the lexer takes them: an instrumented copy shows gcc the
    // fall-through comments before case labels.
    void set_comment_keeping(bool on) { keeping_ = on; }
    std::string take_kept_comments() { return std::exchange(kept_comments_, std::string()); }
    // The next include line marker also names the file as opened.
    void expect_include_marker() { include_marker_pending_ = true; }
    void set_line_counter(int* counter) { inputs_.set_line_counter(counter); }
    // A malformed #include is only a warning (else an error).
    void set_include_syntax_warning(bool warning) { include_syntax_warning_ = warning; }

private:
    void report_at_position(int severity, const std::string& file, int line, std::string_view message);
    int read_raw();
    int read_trigraph();
    int read_comment(int second);
    int next_significant_char();
    std::string read_identifier(int first);
    void evaluate_group(ConditionalKind kind);
    bool test_condition(ConditionalKind kind);
    std::optional<std::string> read_predicate();
    std::optional<IncludedFile> find_include(std::string name, bool quoted);
    void end_include_line();
    bool already_open(const std::string& path) const;
    bool guarded(const std::string& name) const;
    std::optional<std::vector<std::string>> collect_arguments();
    void copy_literal(int quote, std::string& argument);
    std::string substitute(const std::string& name, const Macro& macro, const std::vector<std::string>& arguments);
    void push_expansion(const std::string& name, std::string text, const HideSet& outer);

    const DialectState& dialect_;
    InputStack inputs_;
    ConditionalStack conditionals_;
    MacroTable macros_;
    SizeTable sizes_;
    std::unordered_set<std::string> assertions_;
    std::vector<std::string> include_directories_;
    size_t include_insertion_point_ = 0;
    std::function<bool(const std::string&)> marker_handler_;
    std::function<void(const std::string&)> include_handler_;
    std::string comment_marker_ = std::string(kMarkerIntroducer);
    std::string last_line_text_;

    bool in_literal_ = false;
    bool counting_ = true;
    CommentCounts comments_;
    bool keeping_ = false;
    std::string kept_comments_;
    int last_comment_end_line_ = -1;
    bool include_marker_pending_ = false;
    bool include_syntax_warning_ = false;
    int expansion_depth_ = 0;
    // Hide set of the identifier being read (taken at its first character).
    HideSet word_hidden_;
    bool in_word_ = false;
};

}  // namespace qor
