#include "frontend/lexer.hpp"

#include <array>
#include <cstdio>
#include <string_view>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "frontend/keywords.hpp"
#include "frontend/token_scanner.hpp"
#include "preprocessor/marker_protocol.hpp"

namespace qor {

namespace {

// The blanks between tokens, more than a line's blanks: the carriage
// return, the built-in preprocessor's token separator and control byte 5.
bool is_skipped_blank(int c) { return is_line_blank(c) || c == '\r' || c == kTokenSeparator || c == 5; }
bool is_letter(int c) { return is_ascii_letter(c); }
bool is_digit(int c) { return is_ascii_digit(c); }
bool is_operator_char(int c) { return c > 0 && std::string_view("!%&*+-/:<=>^|").find(static_cast<char>(c)) != std::string_view::npos; }

enum class Directive {
    If, Ifdef, Ifndef, Elif, Else, Endif, Define, Undef, Include, Assert, Line, Ident, Error, Pragma, Unassert,
    Elifdef, Elifndef, Embed, Unknown
};

Directive directive_of(std::string_view name) {
    static constexpr std::array<std::string_view, 18> names = {
        "if", "ifdef", "ifndef", "elif", "else", "endif", "define", "undef",
        "include", "assert", "line", "ident", "error", "pragma", "unassert",
        "elifdef", "elifndef", "embed"};
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<Directive>(i);
    return Directive::Unknown;
}

// A macro use as written after an m or s marker: "NAME" or "NAME(ARGS)".
struct MarkedUse {
    std::string name;
    bool function_like = false;
    std::vector<std::string> arguments;
};

MarkedUse parse_marked_use(const std::string& payload) {
    MarkedUse use;
    size_t open = payload.find('(');
    use.name = payload.substr(0, open);
    if (open == std::string::npos) return use;
    use.function_like = true;
    std::string current;
    int depth = 0;
    char quote = 0;
    bool any = false;
    for (size_t i = open + 1; i < payload.size(); ++i) {
        char c = payload[i];
        if (quote) {
            current += c;
            if (c == '\\' && i + 1 < payload.size()) current += payload[++i];
            else if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        if (c == '(') ++depth;
        if ((c == ',' || c == ')') && depth == 0) {
            while (!current.empty() && current.back() == ' ') current.pop_back();
            if (c == ',' || any || !current.empty()) use.arguments.push_back(current);
            current.clear();
            any = true;
            if (c == ')') break;
            continue;
        }
        if (c == ')') --depth;
        if (!current.empty() || c != ' ') current += c;
    }
    return use;
}

}  // namespace

Lexer::Lexer(const LexerSetup& setup)
    : dialect_(*setup.dialect),
      pp_(*setup.preprocessor),
      client_(*setup.client),
      type_names_(setup.type_names),
      on_dependency_(setup.on_dependency),
      ignore_(setup.ignore),
      macros_(setup.macros),
      main_source_(setup.main_source) {
    pp_.set_marker_handler([this](const std::string& body) { return comment_marker(body); });
    pp_.set_comment_keeping(client_.instrumenting());
}

void Lexer::report(int severity, std::string_view message) { report_at(severity, current_file_, pp_.current_line(), message); }

void Lexer::refresh_file_name() { current_file_ = pp_.current_file(); }

int Lexer::next_token() {
    if (end_of_input_) {
        text_.clear();
        return END_OF_INPUT;
    }
    int token = scan();
    while (array_bound_annotation(token)) token = scan();
    return finish(token);
}

// The words that C99 allows at the start of an array parameter's brackets,
// "a[static 3]", "a[const 3]", and the "*" of "a[*]": annotations for the
// compiler, as the restrict that the ignore rules remove there. In GNU C
// they are left out of the parse and kept in an instrumented file, so the
// parser reads "a[3]" and "a[]".
bool Lexer::array_bound_annotation(int token) {
    if (!dialect_.gnu_extensions || previous_token_ != '[') return false;
    bool annotation = token == kwCONST || token == VOLATILE || token == QUALIFICATEUR_DE_TYPE ||
                      (token == SPECIFICATEUR_DE_STORAGE && text_ == "static") || (token == '*' && next_char_is(']'));
    if (annotation && client_.instrumenting()) client_.echo(text_ + " ");
    return annotation;
}

// The next character but blanks; nothing is consumed.
int Lexer::peek_past_blanks() {
    std::string blanks;
    int c = pp_.read_char();
    while (is_skipped_blank(c)) {
        blanks += static_cast<char>(c);
        c = pp_.read_char();
    }
    if (c != kEndOfInput) pp_.unread_char(c);
    pp_.unread_text(blanks);
    return c;
}

bool Lexer::next_char_is(int wanted) { return peek_past_blanks() == wanted; }

int Lexer::finish(int token) {
    value_.line = pp_.current_line();
    value_.from_source = counting_;
    if (token != END_OF_INPUT) {
        track_asm(token);
        statement_bookkeeping(token);
        if (client_.instrumenting()) {
            // gcc takes a fall-through comment right before a case or
            // default label for a fallthrough attribute: the copy keeps it.
            std::string comments = pp_.take_kept_comments();
            if (token == CASE || token == DEFAULT) client_.echo(comments);
            client_.echo_token(text_ + " ");
        }
    }
    take_comments();
    return token;
}

void Lexer::statement_bookkeeping(int token) {
    if (client_.component_open() &&
        (previous_token_ == '{' || previous_token_ == ';' || previous_token_ == '}' || previous_token_ == -1)) {
        statement_line_ = value_.line;
        value_.macro_line_flag = macro_seen_;
    }
    macro_seen_ = false;
    token_before_previous_ = previous_token_;
    previous_token_ = token;
    client_.capture(text_, counting_);
}

void Lexer::take_comments() {
    CommentCounts counts = pp_.take_comment_counts();
    bool none = counts.groups == 0 && counts.lines == 0 && counts.chars == 0;
    if (client_.component_open()) {
        if (!none) client_.comments_inside(counts);
        return;
    }
    // Outside components the counts are those of the comments before the
    // token; nothing changes while no comment comes.
    if (none && !comments_before_token_) return;
    comments_before_token_ = !none;
    client_.comments_outside(counts);
}

// --- characters between tokens and lines that start with '#' ---

int Lexer::next_significant_char() {
    int c;
    if (at_line_start_) {
        at_line_start_ = false;
        c = line_start();
    } else {
        c = pp_.read_char();
    }
    for (;;) {
        if (is_skipped_blank(c)) {
            c = pp_.read_char();
        } else if (c == '\n') {
            if (client_.instrumenting()) client_.echo("\n");
            c = line_start();
        } else if (c == '\\') {
            int next = pp_.read_char();
            if (next != '\n') {
                pp_.unread_char(next);
                return c;
            }
            c = pp_.read_char();
        } else {
            return c;
        }
    }
}

// The first character of the next line that the lexer must see: lines of
// skipped regions and directive lines are dealt with here.
int Lexer::line_start() {
    for (;;) {
        pp_.note_line_start();
        int c = pp_.read_char();
        while (c == ' ' || c == '\t') c = pp_.read_char();
        // Reading the line's first character may have left a finished
        // include: the line belongs to the file it came from.
        if (pp_.take_file_changed()) refresh_file_name();
        if (c == kEndOfInput) return c;
        if (c != '#') {
            if (pp_.compiling()) return c;
            pp_.unread_char(c);
            finish_line();
            continue;
        }
        if (!directive_line()) return kEndOfInput;
    }
}

// After the '#' that starts a line; false at the end of the input.
bool Lexer::directive_line() {
    if (ignore_ && ignore_->starts_rule("#")) {
        IgnoredRegion region = ignore_->ignore_region("#", pp_, [this] { line_markers_in_region(); });
        if (region.found) {
            skip_ignored("#", region);
            return true;
        }
        if (region.eof) report(MSG_WARNING, "end of file found while looking for end of ignore sequence.");
    }
    int c = pp_.read_char();
    while (is_skipped_blank(c)) c = pp_.read_char();
    if (c == '\n') return true;
    if (c == kEndOfInput) return false;
    if (is_letter(c) || c == '_') {
        std::string name(1, static_cast<char>(c));
        while (is_word_char(c = pp_.read_char())) name += static_cast<char>(c);
        pp_.unread_char(c);
        run_directive(name);
        return true;
    }
    pp_.unread_char(c);
    if (!line_marker() && pp_.compiling()) report(MSG_WARNING, "Undefined or invalid # directive");
    finish_line();
    return true;
}

// "# 40 "a.c"": a line number, read as a constant, then the #line handler.
bool Lexer::line_marker() {
    int c = pp_.read_char();
    if (!is_digit(c)) {
        pp_.unread_char(c);
        return false;
    }
    ScannedToken number = scan_number(c, pp_);
    pp_.unread_text(number.text);
    if (number.code != CONSTANT) return false;
    pp_.do_line();
    refresh_file_name();
    if (client_.instrumenting()) client_.line_marker(pp_.last_line_text());
    return true;
}

// An instrumented file keeps the #define and #undef lines of the text: the
// macros that were not expanded are expanded by the compiler. The line is
// read, echoed and put back for the directive's handler.
void Lexer::echo_directive(const char* directive) {
    if (!client_.instrumenting()) return;
    std::string line;
    for (int c = pp_.read_char(); c != kEndOfInput; c = pp_.read_char()) {
        if (c == '\n' && (line.empty() || line.back() != '\\')) {
            pp_.unread_char(c);
            break;
        }
        line += static_cast<char>(c);
    }
    pp_.unread_text(line);
    client_.echo(std::string(directive) + line + "\n");
}

void Lexer::run_directive(const std::string& name) {
    bool compiling = pp_.compiling();
    switch (directive_of(name)) {
    case Directive::If: pp_.do_if(COND_IF); break;
    case Directive::Ifdef: pp_.do_if(COND_IFDEF); break;
    case Directive::Ifndef: pp_.do_if(COND_IFNDEF); break;
    case Directive::Elif: pp_.do_elif(COND_IF); break;
    case Directive::Elifdef: pp_.do_elif(COND_IFDEF); break;
    case Directive::Elifndef: pp_.do_elif(COND_IFNDEF); break;
    case Directive::Else: pp_.do_else(); break;
    case Directive::Endif: pp_.do_endif(); break;
    case Directive::Define:
        if (compiling) {
            echo_directive("#define");
            pp_.do_define();
        }
        break;
    case Directive::Undef:
        if (compiling) {
            echo_directive("#undef");
            pp_.do_undef();
        }
        break;
    case Directive::Assert:
        if (compiling) pp_.do_assert();
        break;
    case Directive::Unassert:
        if (compiling) pp_.do_unassert();
        break;
    case Directive::Include:
        if (compiling) {
            // The handler ends the line itself; the next character comes
            // from the included file.
            pp_.do_include();
            return;
        }
        break;
    case Directive::Line:
        pp_.do_line();
        refresh_file_name();
        break;
    case Directive::Pragma:
        if (compiling) {
            pragma_line();
            return;
        }
        break;
    case Directive::Embed:
        // The data that #embed would insert is not read: the analysis and
        // an instrumented copy would miss it.
        if (compiling) report(MSG_ERROR, "#embed is not supported");
        break;
    case Directive::Ident:
    case Directive::Error:
    case Directive::Unknown: break;
    }
    pp_.set_comment_counting(pp_.compiling());
    finish_line();
}

// In the MCC dialects "#pragma asm" starts an assembly block that runs to
// the next '#' (the "#pragma endasm" line).
void Lexer::pragma_line() {
    if (!dialect_.mcc_family()) {
        finish_line();
        return;
    }
    std::string text;
    int c;
    while ((c = pp_.read_char()) != '\n' && c != kEndOfInput) {
        if (c == '\\') {
            int next = pp_.read_char();
            if (next == '\n') continue;
            pp_.unread_char(next);
        }
        text += static_cast<char>(c);
    }
    if (text != " asm") return;
    std::string block;
    while ((c = pp_.read_char()) != '#' && c != kEndOfInput) block += static_cast<char>(c);
    if (client_.instrumenting()) client_.echo(block);
    pp_.unread_char(c);
}

// At the start of a line inside an ignored region: the preprocessor's line
// markers there ("# 37 "a.c" 3 4", which gcc writes around a macro of a
// system header even inside an expression) are read as they are outside a
// region, so that the text after the region keeps its line numbers.
// Anything else is left to the region.
void Lexer::line_markers_in_region() {
    for (;;) {
        std::string read;
        int c = pp_.read_char();
        while (c == ' ' || c == '\t') {
            read += static_cast<char>(c);
            c = pp_.read_char();
        }
        if (c == '#') {
            read += '#';
            int next = pp_.read_char();
            while (next == ' ' || next == '\t') {
                read += static_cast<char>(next);
                next = pp_.read_char();
            }
            pp_.unread_char(next);
            if (is_digit(next) && line_marker()) {
                finish_line();
                continue;
            }
        } else {
            pp_.unread_char(c);
        }
        pp_.unread_text(read);
        return;
    }
}

void Lexer::finish_line() {
    pp_.skip_line();
    pp_.read_char();
}

// The region is gone from the token stream; an instrumented file keeps it.
void Lexer::skip_ignored(const std::string& start_word, const IgnoredRegion& region) {
    if (region.counted && client_.component_open()) client_.mark_ignored_region(current_file_, pp_.current_line());
    if (client_.instrumenting()) client_.echo(start_word + region.text + "\n");
}

// --- tokens ---

int Lexer::scan() {
    for (;;) {
        value_ = TokenValue{};
        int c = next_significant_char();
        pp_.note_token_start();
        counting_ = pp_.last_char_from_file() && marked_expansions_ == 0;
        if (c == kEndOfInput) {
            end_of_input_ = true;
            text_.clear();
            return END_OF_INPUT;
        }
        if (c == '\\') {
            report(MSG_LEXICAL, "Invalid character '\\' in code");
            text_ = "\\";
            return c;
        }
        if (c == 0) {
            // A NUL byte is no token of the grammar; its text is empty.
            text_.clear();
            return UNDEFINED_TOKEN;
        }
        if ((c == 'L' || c == 'l')) {
            int next = pp_.read_char();
            if (next == '"' || next == '\'') return literal(next, std::string(1, static_cast<char>(c)));
            pp_.unread_char(next);
        }
        if ((c == 'u' || c == 'U') && dialect_.gnu_extensions) {
            if (auto prefix = unicode_prefix(c)) return literal(pp_.read_char(), *prefix);
        }
        if (c == '"' || c == '\'') return literal(c, "");
        if (is_operator_char(c)) {
            ScannedToken token = scan_operator(c, pp_);
            text_ = token.text;
            value_.op = token.op;
            if (token.code == ':' && enum_base_follows()) return ENUM_BASE;
            return token.code;
        }
        if (is_digit(c) || c == '.') {
            ScannedToken token = scan_number(c, pp_, c23_.syntax ? NumberSyntax::C23 : NumberSyntax::Classic);
            text_ = token.text;
            if (token.code == POINT_POINT_POINT && range_may_follow()) return RANGE_DOTS;
            if (token.code == CONSTANT) {
                value_.str = text_;
                value_.has_str = true;
            }
            return token.code;
        }
        if (c == '$' && !dialect_.dollar_in_identifiers) {
            text_ = "$";
            return c;
        }
        if (c == '@' && dialect_.code == DIALECT_IAR) {
            if (client_.instrumenting()) client_.echo("@");
            continue;
        }
        if (is_letter(c) || c == '_' || c == '$' || c == '@') {
            bool rescan = false;
            int token = identifier(c, rescan);
            if (!rescan) return token;
            continue;
        }
        if (c == '[' && dialect_.gnu_extensions && skip_standard_attribute()) continue;
        if (c == '[' && asm_depth_ == 1 && (previous_token_ == ':' || previous_token_ == ',') &&
            skip_asm_operand_name())
            continue;
        text_ = std::string(1, static_cast<char>(c));
        return c;
    }
}

// GNU asm statements: asm_depth_ is -1 from the keyword to its '(' (asm
// volatile and asm goto go between), then the depth of the parentheses, 0 outside.
void Lexer::track_asm(int token) {
    if (!dialect_.gnu_extensions) return;
    if (token == ASM) {
        asm_depth_ = -1;
    } else if (asm_depth_ < 0) {
        bool qualifier = token == VOLATILE || token == QUALIFICATEUR_DE_TYPE || token == kwCONST || token == GOTO;
        asm_depth_ = token == '(' ? 1 : qualifier ? -1 : 0;
    } else if (asm_depth_ > 0) {
        asm_depth_ += token == '(' ? 1 : token == ')' ? -1 : 0;
    }
}

// After the '[' of "[name]" in front of an asm operand ("=r"(x) named
// name for the template's %[name]): the name only ties the template to
// the operand, so the parser does not see it; an instrumented file keeps
// it. False, with everything read pushed back, when no "name]" follows.
bool Lexer::skip_asm_operand_name() {
    std::string text;
    auto take = [&] {
        int c = pp_.read_char();
        if (c != kEndOfInput) text += static_cast<char>(c);
        return c;
    };
    int c = take();
    while (c == ' ' || c == '\t') c = take();
    bool named = is_letter(c) || c == '_';
    while (is_word_char(c)) c = take();
    while (c == ' ' || c == '\t') c = take();
    if (!named || c != ']') {
        pp_.unread_text(text);
        return false;
    }
    if (client_.instrumenting()) client_.echo("[" + text + " ");
    return true;
}

// The attributes of C23, "[[...]]", which gcc reads in every GNU mode:
// like __attribute__ ((...)) they are annotations for the compiler, left
// out of the parse and kept unchanged in an instrumented file. C allows
// "[[" nowhere else. After the first '[': false, with what was read pushed
// back, when no second '[' follows.
bool Lexer::skip_standard_attribute() {
    int c = pp_.read_char();
    if (c != '[') {
        pp_.unread_char(c);
        return false;
    }
    std::string text = "[[";
    int depth = 2;
    char quote = 0;
    while (depth > 0 && (c = pp_.read_char()) != kEndOfInput) {
        text += static_cast<char>(c);
        if (quote) {
            if (c == '\\') {
                int escaped = pp_.read_char();
                if (escaped != kEndOfInput) text += static_cast<char>(escaped);
            } else if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = static_cast<char>(c);
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        }
    }
    if (depth > 0) report(MSG_ERROR, "end of file inside the attribute [[...]]");
    if (client_.instrumenting()) client_.echo(text + " ");
    return true;
}

// GNU C reads u"", U"", u8"" (and the same prefixes of character
// constants) as one literal. After the prefix letter `first`: the whole
// prefix when a quote follows it, the quote left unread; otherwise nothing,
// with every character read pushed back.
std::optional<std::string> Lexer::unicode_prefix(int first) {
    std::string prefix(1, static_cast<char>(first));
    int next = pp_.read_char();
    if (first == 'u' && next == '8') {
        prefix += '8';
        next = pp_.read_char();
    }
    if (next == '"' || next == '\'') {
        pp_.unread_char(next);
        return prefix;
    }
    pp_.unread_char(next);
    if (prefix.size() > 1) pp_.unread_char('8');
    return std::nullopt;
}

// In GNU C a "..." that follows an operand is the range of a case label
// ("case 'a' ... 'z':") or of a designator ("[0 ... 9] = x"); in a
// parameter list it always follows '(' or ','.
bool Lexer::range_may_follow() const {
    if (!dialect_.gnu_extensions) return false;
    switch (previous_token_) {
    case CONSTANT:
    case IDENTIFICATEUR:
    case ')':
    case ']': return true;
    default: return false;
    }
}

// In C23 the ':' after "enum" or "enum tag" brings the enumeration's
// underlying type ("enum e : unsigned char {"), unless a width follows:
// "enum e : 3;" is still an unnamed bit-field of the enumeration's type.
bool Lexer::enum_base_follows() {
    bool after_enum = previous_token_ == ENUM ||
                      ((previous_token_ == IDENTIFICATEUR || previous_token_ == NOM_DE_TYPE) && token_before_previous_ == ENUM);
    if (!c23_.syntax || !after_enum) return false;
    int c = peek_past_blanks();
    return is_letter(c) || c == '_' || c == '\n';
}

int Lexer::literal(int quote, const std::string& prefix) {
    ScannedToken token = scan_literal(quote, prefix, pp_);
    text_ = token.text;
    if (client_.component_open()) {
        value_.str = text_;
        value_.has_str = true;
    }
    return token.code;
}

int Lexer::identifier(int first, bool& rescan) {
    std::string word(1, static_cast<char>(first));
    int c;
    while (is_word_char(c = pp_.read_char()) && (c != '$' || dialect_.dollar_in_identifiers))
        word += static_cast<char>(c);
    pp_.unread_char(c);
    text_ = word;
    // A C23 spelling of an older keyword is read as that keyword, by the
    // ignore rules too (static_assert as _Static_assert). The words that
    // C reserves (_BitInt, _Decimal32 ...) are read in every mode, as gcc
    // and clang read them: no program can use them as names.
    bool reserved = word.size() > 1 && word[0] == '_' && (word[1] == '_' || (word[1] >= 'A' && word[1] <= 'Z'));
    const C23Word* c23_word = c23_.keywords || reserved ? find_c23_word(word) : nullptr;
    const std::string_view spelling =
        c23_word && !c23_word->older_spelling.empty() ? c23_word->older_spelling : std::string_view(word);

    if (ignore_ && ignore_->starts_rule(spelling)) {
        IgnoredRegion region = ignore_->ignore_region(spelling, pp_, [this] { line_markers_in_region(); });
        if (region.found) {
            skip_ignored(word, region);
            rescan = true;
            return 0;
        }
        if (region.eof) report(MSG_WARNING, "end of file found while looking for end of ignore sequence.");
    }
    if (pp_.is_macro(word)) {
        if (macros_.expands(word)) {
            if (expand_identifier(word)) {
                rescan = true;
                return 0;
            }
        } else if (client_.instrumenting() && pp_.would_expand(word)) {
            macro_seen_ = true;
        }
    }
    const Keyword* keyword = find_keyword(dialect_.keywords, spelling);
    if (!keyword && c23_word && c23_word->older_spelling.empty()) keyword = &c23_word->entry;
    if (keyword && keyword->token != IDENTIFICATEUR && keyword->token != MIDENTIFICATEUR) {
        value_.kwflags = keyword->flags;
        // The parser counts a built-in, a part operator or a constant word
        // (true, nullptr) under its own name.
        if (keyword->token == BUILTIN_TYPE_ARG || keyword->token == COMPLEX_PART || keyword->token == CONSTANT) {
            value_.str = std::move(word);
            value_.has_str = true;
        }
        // "_Atomic(T)" names a type, as typeof (T) does; "_Atomic" alone
        // qualifies one.
        if (word == "_Atomic" && next_char_is('(')) return TYPEOF;
        return keyword->token;
    }
    int token = type_names_ && type_names_->is_type_name(word) ? NOM_DE_TYPE : IDENTIFICATEUR;
    value_.str = std::move(word);
    value_.has_str = true;
    return token;
}

bool Lexer::expand_identifier(const std::string& name) {
    bool was_counting = counting_;
    auto use = pp_.start_expansion(name);
    if (!use) return false;
    if (pp_.expansion_depth() == 1 && client_.component_open() && was_counting) {
        record_macro_use(name, use->function_like, use->arguments);
        client_.macro_use(use->function_like);
    }
    return true;
}

// A macro use as the analysis counts it: a function-like use is the name
// with "()" as an operator, its arguments as operands and a ',' operator
// between them; an object-like use is the name as an operator.
void Lexer::record_macro_use(const std::string& name, bool function_like, const std::vector<std::string>& arguments) {
    if (!function_like) {
        client_.count_occurrence(name, Occurrence::Operator);
        return;
    }
    client_.count_occurrence(name + "()", Occurrence::Operator);
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) client_.count_occurrence(",", Occurrence::Operator);
        client_.count_occurrence(arguments[i], Occurrence::Operand);
    }
}

// A comment of the external preprocessor; false for a letter that makes
// it an ordinary comment.
bool Lexer::comment_marker(const std::string& body) {
    if (body.empty()) return false;
    if (kIgnoredMarkerCommands.find(body[0]) != std::string_view::npos) return true;
    std::string payload = marker_payload(body);
    switch (static_cast<MarkerCommand>(body[0])) {
    case MarkerCommand::ExpansionStart: ++marked_expansions_; return true;
    case MarkerCommand::ExpansionEnd:
        if (marked_expansions_ > 0) --marked_expansions_;
        return true;
    case MarkerCommand::MacroUse:
    case MarkerCommand::ClosingMacroUse: {
        MarkedUse use = parse_marked_use(payload);
        client_.macro_use(use.function_like);
        if (client_.component_open() && marked_expansions_ == 0 && pp_.reading_file_text()) {
            record_macro_use(use.name, use.function_like, use.arguments);
            client_.capture(payload, true);
        }
        if (static_cast<MarkerCommand>(body[0]) == MarkerCommand::MacroUse)
            ++marked_expansions_;
        else if (marked_expansions_ > 0)
            --marked_expansions_;
        return true;
    }
    case MarkerCommand::Include: {
        std::string name = payload.substr(0, payload.find_first_of("\">"));
        if (name != main_source_ && on_dependency_) on_dependency_(name);
        pp_.expect_include_marker();
        return true;
    }
    default: return false;
    }
}

void Lexer::syntax_error(std::string_view message) {
    std::string text(message);
    unsigned char first = text_.empty() ? 0 : static_cast<unsigned char>(text_[0]);
    if (end_of_input_) {
        text += " at end of file";
    } else if (text_.empty()) {
        text += " at null character";
    } else if (first == '"') {
        text += " before string constant";
    } else if (first == '\'') {
        text += " before character constant";
    } else if (first < 32 || first >= 127) {
        char octal[32];
        std::snprintf(octal, sizeof octal, " before character 0%o", first);
        text += octal;
    } else {
        text += " before `" + text_ + "'";
    }
    report(message == "syntax error" ? MSG_LEXICAL : MSG_ERROR, text);
}

}  // namespace qor
