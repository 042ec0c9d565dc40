#include "definitions_file.hpp"

#include <sstream>
#include <string_view>

#include "identifiers.hpp"
#include "text_file.hpp"

namespace full_prepro {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\b' || c == '\r'; }

// A cursor over the rest of one line.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    void skip_blanks() {
        while (!at_end() && is_blank(peek())) ++pos_;
    }
    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[pos_]; }
    // Up to a blank, '(' or the end of the line.
    std::string_view word() {
        size_t start = pos_;
        while (!at_end() && !is_blank(peek()) && peek() != '(') ++pos_;
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
    void advance() { ++pos_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool read_macro(LineCursor& cursor, unsigned line, Definitions& definitions) {
    cursor.skip_blanks();
    FileMacro macro{line, std::string(cursor.word()), {}, {}};
    if (!is_identifier(macro.name)) return false;
    if (cursor.peek() == '(') {
        macro.parameters = cursor.until(')');
        if (cursor.at_end()) return false;
        cursor.advance();
        macro.parameters += ')';
    }
    cursor.skip_blanks();
    macro.body = cursor.rest();
    definitions.macros.push_back(std::move(macro));
    return true;
}

// An I or E line: the text up to the end or '(', without trailing blanks.
std::string read_directory(LineCursor& cursor) {
    cursor.skip_blanks();
    std::string directory(cursor.until('('));
    while (!directory.empty() && is_blank(directory.back())) directory.pop_back();
    return directory;
}

// "name (text)" with balanced parentheses.
bool read_assertion(LineCursor& cursor) {
    cursor.skip_blanks();
    if (cursor.word().empty()) return false;
    cursor.skip_blanks();
    if (cursor.peek() != '(') return false;
    for (int depth = 0; !cursor.at_end(); cursor.advance()) {
        if (cursor.peek() == '(') ++depth;
        if (cursor.peek() == ')' && --depth == 0) return true;
    }
    return false;
}

bool read_line(std::string_view text, unsigned line, Definitions& definitions) {
    size_t start = 0;
    while (start < text.size() && is_blank(text[start])) ++start;
    text.remove_prefix(start);
    if (text.empty() || text.starts_with("//") || text.starts_with("/*")) return true;
    LineCursor cursor(text.substr(1));
    switch (text[0]) {
    case 'D': return read_macro(cursor, line, definitions);
    case 'I': {
        std::string directory = read_directory(cursor);
        if (!directory.empty()) definitions.include_directories.push_back(directory);
        return true;
    }
    case 'E': read_directory(cursor); return true;
    case 'A': return read_assertion(cursor);
    default: return false;
    }
}

}  // namespace

void read_definitions(const std::string& path, Definitions& definitions, Messages& messages) {
    std::optional<std::string> file = read_text_file(path);
    if (!file) {
        messages.error("Inaccessible '" + path + "' file.");
        return;
    }
    std::istringstream content(*file);
    std::string text;
    for (unsigned line = 1; std::getline(content, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (!read_line(text, line, definitions))
            messages.warning(path, line, "syntax error in predefined macros file");
    }
}

}  // namespace full_prepro
