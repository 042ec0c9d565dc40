// The directive handlers: conditionals, #include with its search, #line
// and line markers, #define and #undef, #assert and #unassert, and the
// -D, -U, -I, -S options.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"
#include "platform/files.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

// #include names, #line texts and pasted tokens share this limit.
constexpr size_t kWorkBufferSize = 16384;

// The separator that the macro expander writes between tokens is a blank.
bool is_blank(int c) { return is_line_blank(c) || c == kTokenSeparator; }

const char* conditional_name(ConditionalKind kind) {
    switch (kind) {
    case COND_IF: return "if";
    case COND_IFDEF: return "ifdef";
    default: return "ifndef";
    }
}

}  // namespace

int Preprocessor::next_significant_char() {
    int c = read_char();
    while (is_blank(c)) c = read_char();
    return c;
}

std::string Preprocessor::read_identifier(int first) {
    std::string name(1, static_cast<char>(first));
    int c;
    while (is_c_identifier_char(c = read_char())) name += static_cast<char>(c);
    unread_char(c);
    return name;
}

void Preprocessor::skip_line() {
    for (;;) {
        int c = read_char();
        if (c == '\\') {
            int next = read_char();
            if (next != '\n') unread_char(next);
            continue;
        }
        if (c == '\n' || c == kEndOfInput) {
            unread_char(c);
            return;
        }
    }
}

// --- conditionals ---

void Preprocessor::do_if(ConditionalKind kind) {
    if (conditionals_.full()) report(MSG_FATAL, std::string("too many nested #") + conditional_name(kind) + " statements");
    conditionals_.open();
    if (compiling()) evaluate_group(kind);
}

// Evaluates the argument of #if, #ifdef, #ifndef or #elif for the
// innermost group.
void Preprocessor::evaluate_group(ConditionalKind kind) {
    ConditionalGroup& group = conditionals_.innermost();
    int c = next_significant_char();
    unread_char(c);
    if (c == '\n' || c == kEndOfInput) {
        report(MSG_ERROR, "#if, #ifdef, or #ifndef without an argument");
        group.empty_argument = true;
        return;
    }
    bool holds = test_condition(kind);
    conditionals_.set_compiling(holds);
    if (holds) group.branch_taken = true;
}

bool Preprocessor::test_condition(ConditionalKind kind) {
    if (kind != COND_IF) {
        int c = read_char();
        if (is_c_identifier_start(c)) {
            bool defined = macros_.is_macro(read_identifier(c));
            return kind == COND_IFDEF ? defined : !defined;
        }
        unread_char(c);
    }
    bool value = eval_if(*this, sizes_) != 0;
    return kind == COND_IFNDEF ? !value : value;
}

void Preprocessor::do_elif(ConditionalKind kind) {
    if (conditionals_.empty()) {
        report(MSG_ERROR, "#elif must be in an #if");
        return;
    }
    ConditionalGroup& group = conditionals_.innermost();
    if (group.else_seen) report(MSG_ERROR, "#elif may not follow #else");
    if (group.enclosing_compiling && !group.branch_taken) {
        conditionals_.set_compiling(true);
        evaluate_group(kind);
    } else {
        conditionals_.set_compiling(false);
    }
}

void Preprocessor::do_else() {
    if (conditionals_.empty()) {
        report(MSG_ERROR, "#else must be in an #if");
        return;
    }
    ConditionalGroup& group = conditionals_.innermost();
    if (group.else_seen) report(MSG_ERROR, "#else may not follow #else");
    group.else_seen = true;
    if (group.enclosing_compiling) conditionals_.set_compiling(!group.branch_taken && !group.empty_argument);
}

void Preprocessor::do_endif() {
    if (conditionals_.empty()) {
        report(MSG_ERROR, "#endif must be in an #if");
        return;
    }
    if (conditionals_.close()) inputs_.set_file_changed();
}

// --- #include ---

void Preprocessor::do_include() {
    int c = next_significant_char();
    // A macro may give the name.
    for (int expansions = 0; is_c_identifier_start(c) && expansions < 100; ++expansions) {
        if (!start_expansion(read_identifier(c))) break;
        c = next_significant_char();
    }
    int severity = include_syntax_warning_ ? MSG_WARNING : MSG_ERROR;
    if (c != '<' && c != '"') {
        if (c == '\n' || c == kEndOfInput) unread_char(c);
        report(severity, "#include syntax error");
        end_include_line();
        return;
    }
    std::string text;
    set_in_literal(true);
    for (int next; (next = read_char()) != '\n' && next != kEndOfInput;) {
        if (text.size() >= kWorkBufferSize) report(MSG_FATAL, "work buffer overflow");
        text += static_cast<char>(next);
    }
    set_in_literal(false);
    unread_char('\n');
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == kTokenSeparator)) text.pop_back();
    char closer = c == '<' ? '>' : '"';
    if (text.empty() || text.back() != closer) {
        report(severity, "#include syntax error");
        end_include_line();
        return;
    }
    text.pop_back();
    std::optional<IncludedFile> included = find_include(text, c == '"');
    if (!included) report(MSG_ERROR, "cannot open include file \"" + text + "\"");
    // Messages name the include line; its text ends before the included
    // file's text starts.
    end_include_line();
    if (!included) return;
    if (already_open(included->path)) {
        // Source #defines make no macros here, so include guards cannot stop
        // a header that includes itself, directly or not: it is read once.
        std::fclose(included->file);
        return;
    }
    inputs_.push_file(included->file, included->path);
    if (include_handler_) include_handler_(included->path);
}

bool Preprocessor::already_open(const std::string& path) const {
    for (const auto& record : inputs_.records())
        if (record->kind == InputRecord::Kind::File && platform::same_file(record->opened_name, path)) return true;
    return false;
}

void Preprocessor::end_include_line() {
    skip_line();
    read_char();
}

std::optional<IncludedFile> Preprocessor::find_include(std::string name, bool quoted) {
    if (dialect_.dos_paths)
        for (char& c : name)
            if (c == '\\') c = '/';
    bool absolute = !name.empty() && (name[0] == '/' || (name.size() > 1 && name[1] == ':'));
    if (quoted) {
        const InputRecord* including = inputs_.stream_record();
        std::string directory;
        if (including && !absolute) {
            size_t sep = last_separator(including->opened_name);
            if (sep != std::string::npos) directory = including->opened_name.substr(0, sep + 1);
        }
        if (FILE* file = platform::open_for_reading(directory + name)) return IncludedFile{file, directory + name};
    }
    for (const std::string& directory : include_directories_) {
        std::string path = !name.empty() && name[0] == '/' ? name : directory + "/" + name;
        if (path.size() >= kWorkBufferSize - 1) report(MSG_FATAL, "filename work buffer overflow");
        if (FILE* file = platform::open_for_reading(path)) return IncludedFile{file, path};
    }
    return std::nullopt;
}

// --- #line and line markers ---

void Preprocessor::do_line() {
    int c = next_significant_char();
    std::string text;
    bool quoted = false;
    for (; c != '\n' && c != kEndOfInput; c = read_char()) {
        if (text.size() >= kWorkBufferSize) report(MSG_FATAL, "work buffer overflow");
        if (c == '"') set_in_literal(quoted = !quoted);
        text += static_cast<char>(c);
    }
    set_in_literal(false);
    unread_char(c);
    last_line_text_ = text;

    size_t pos = 0;
    long number = 0;
    while (pos < text.size() && is_ascii_digit(text[pos]) && number < 1000000000)
        number = number * 10 + (text[pos++] - '0');
    // C allows no line number beyond the largest int.
    inputs_.set_line(static_cast<int>(std::min<long>(number, INT_MAX)) - 1);
    while (pos < text.size() && (is_ascii_digit(text[pos]) || is_blank(text[pos]))) ++pos;
    if (pos == text.size()) return;
    std::string name = text.substr(pos);
    if (name[0] == '"') {
        size_t last = name.rfind('"');
        name = last == 0 ? name.substr(1) : name.substr(1, last - 1);
    }
    InputRecord* record = inputs_.stream_record();
    if (!record) return;
    record->display_name = name;
    if (include_marker_pending_) {
        record->opened_name = name;
        include_marker_pending_ = false;
    }
    inputs_.set_file_changed();
}

// --- #define, #undef ---

void Preprocessor::do_define() { skip_line(); }

void Preprocessor::do_undef() {
    int c = next_significant_char();
    if (!is_c_identifier_start(c)) {
        unread_char(c);
        report(MSG_ERROR, "illegal #undef argument");
        return;
    }
    macros_.remove_macro(read_identifier(c));
}

// --- #assert, #unassert ---

// An identifier directly followed by a parenthesised text.
std::optional<std::string> Preprocessor::read_predicate() {
    int c = next_significant_char();
    if (!is_c_identifier_start(c)) {
        unread_char(c);
        return std::nullopt;
    }
    std::string predicate = read_identifier(c);
    c = read_char();
    if (c != '(') {
        unread_char(c);
        return std::nullopt;
    }
    int depth = 0;
    for (; c != '\n' && c != kEndOfInput; c = read_char()) {
        predicate += static_cast<char>(c);
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return predicate;
    }
    unread_char(c);
    return std::nullopt;
}

void Preprocessor::do_assert() {
    if (auto predicate = read_predicate())
        assertions_.insert(*predicate);
    else
        report(MSG_WARNING, "#assert syntax error");
}

void Preprocessor::do_unassert() {
    if (auto predicate = read_predicate())
        assertions_.erase(*predicate);
    else
        report(MSG_WARNING, "#unassert syntax error");
}

// --- command-line options ---

void Preprocessor::preprocessor_options(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') continue;
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(argument[1])));
        if (letter != 'D' && letter != 'U' && letter != 'I' && letter != 'S') continue;
        std::string value = argument.substr(2);
        value.erase(0, value.find_first_not_of(" \t"));
        if (value.empty() && i + 1 < arguments.size()) value = arguments[++i];
        if (letter == 'D') {
            size_t equals = value.find('=');
            if (equals == std::string::npos)
                macros_.define_macro(value, MacroBody("1"), kObjectLike);
            else
                macros_.define_macro(value.substr(0, equals), MacroBody(std::string_view(value).substr(equals + 1)),
                                     kObjectLike);
        } else if (letter == 'U') {
            if (!macros_.remove_macro(value)) report(MSG_WARNING, "\"" + value + "\" wasn't defined");
        } else if (letter == 'I') {
            insert_include_directory(value);
        } else {
            apply_size_option(sizes_, value);
        }
    }
}

}  // namespace qor
