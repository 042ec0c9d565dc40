#include "preprocessor/definitions_syntax.hpp"

#include "foundation/char_class.hpp"
#include "foundation/file_lookup.hpp"

namespace qor {

bool is_definitions_blank(char c) { return is_line_blank(c) || c == '\r'; }

std::optional<std::string> definitions_text(const std::string& path) {
    FilePtr file = open_file(path, "r", kUnreported, NameForm::Literal);
    if (!file) return std::nullopt;
    std::string text;
    for (int c; (c = std::fgetc(file.get())) != EOF;) text += static_cast<char>(c);
    return text;
}

namespace {

// A cursor over the rest of one line.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    void skip_blanks() {
        while (!at_end() && is_definitions_blank(peek())) ++pos_;
    }
    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[pos_]; }
    void advance() { ++pos_; }
    // Up to a blank, '(' or the end of the line.
    std::string_view word() {
        size_t start = pos_;
        while (!at_end() && !is_definitions_blank(peek()) && peek() != '(') ++pos_;
        return text_.substr(start, pos_ - start);
    }
    // Up to `stop` or the end of the line.
    std::string_view until(char stop) {
        size_t start = pos_;
        while (!at_end() && peek() != stop) ++pos_;
        return text_.substr(start, pos_ - start);
    }
    std::string_view rest() {
        std::string_view text = text_.substr(pos_);
        pos_ = text_.size();
        return text;
    }
    size_t position() const { return pos_; }
    std::string_view since(size_t start) const { return text_.substr(start, pos_ - start); }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool read_macro(LineCursor& cursor, unsigned line, const DefinitionsSyntax& syntax, DefinitionsHandler& handler) {
    cursor.skip_blanks();
    std::string_view name = cursor.word();
    if (name.empty() || (syntax.macro_names_checked && !is_c_identifier(name))) return false;
    std::optional<std::string_view> parameters;
    if (cursor.peek() == '(') {
        size_t open = cursor.position();
        cursor.until(')');
        if (cursor.at_end()) return false;
        cursor.advance();
        parameters = cursor.since(open);
    }
    cursor.skip_blanks();
    handler.macro(line, name, parameters, cursor.rest());
    return true;
}

std::string_view read_directory(LineCursor& cursor) {
    cursor.skip_blanks();
    std::string_view directory = cursor.until('(');
    while (!directory.empty() && is_definitions_blank(directory.back())) directory.remove_suffix(1);
    return directory;
}

std::optional<std::string> read_assertion(LineCursor& cursor) {
    cursor.skip_blanks();
    std::string predicate(cursor.word());
    cursor.skip_blanks();
    if (predicate.empty() || cursor.peek() != '(') return std::nullopt;
    for (int depth = 0; !cursor.at_end(); cursor.advance()) {
        char c = cursor.peek();
        if (is_definitions_blank(c)) {
            if (predicate.back() != ' ') predicate += ' ';
            continue;
        }
        if (c == ')' && predicate.back() == ' ') predicate.pop_back();
        predicate += c;
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return predicate;
    }
    return std::nullopt;
}

bool read_line(std::string_view text, unsigned line, const DefinitionsSyntax& syntax, DefinitionsHandler& handler) {
    while (!text.empty() && is_definitions_blank(text.front())) text.remove_prefix(1);
    if (text.empty() || text.starts_with("//") || text.starts_with("/*")) return true;
    LineCursor cursor(text.substr(1));
    switch (text[0]) {
    case 'D': return read_macro(cursor, line, syntax, handler);
    case 'I': handler.include_directory(read_directory(cursor)); return true;
    case 'E': read_directory(cursor); return true;
    case 'A':
        if (auto predicate = read_assertion(cursor)) {
            handler.assertion(*predicate);
            return true;
        }
        return false;
    default: return false;
    }
}

}  // namespace

void read_definition_lines(std::string_view text, const DefinitionsSyntax& syntax, DefinitionsHandler& handler) {
    unsigned line = 1;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view content = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        bool last = end == std::string_view::npos;
        if (content.ends_with('\r') && (!last || syntax.last_line_cr_dropped)) content.remove_suffix(1);
        if (!read_line(content, line, syntax, handler)) handler.syntax_error(line);
        ++line;
    }
}

}  // namespace qor
