#include "value_notation.hpp"

#include <cctype>

namespace qor::report {

namespace {

class SectionReader {
public:
    SectionReader(std::string_view text, int first_line) : text_(text), line_(first_line) {}

    std::vector<Section> sections() {
        std::vector<Section> out;
        for (;;) {
            skip_blanks();
            if (at_end()) return out;
            int line = line_;
            std::string name = word();
            if (name.empty()) fail("a section name expected");
            if (name == "END") return out;
            skip_blanks();
            if (peek() != ':' && word() == "DEFINITIONS") skip_blanks();  // the module's head
            if (!take("::=")) fail("'::=' expected after " + name);
            skip_blanks();
            if (peek() == '{') {
                out.push_back({name, list(), line});
                continue;
            }
            std::string kind = word();
            if (kind == "BEGIN") continue;
            if (kind != "SEQUENCE") fail("'{' expected in section " + name);
            skip_braces();
        }
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throw SyntaxError(line_, what); }
    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[pos_]; }
    char next() {
        char c = text_[pos_++];
        if (c == '\n') ++line_;
        return c;
    }
    bool take(std::string_view literal) {
        if (text_.substr(pos_, literal.size()) != literal) return false;
        pos_ += literal.size();
        return true;
    }
    void skip_blanks() {
        while (!at_end() && std::isspace(static_cast<unsigned char>(peek()))) next();
    }
    static bool word_char(char c) {
        return c != '\0' && c != '{' && c != '}' && c != ',' && c != '"' && !std::isspace(static_cast<unsigned char>(c));
    }
    std::string word() {
        size_t start = pos_;
        while (word_char(peek())) next();
        return std::string(text_.substr(start, pos_ - start));
    }

    // A schema body: everything up to its matching closing brace.
    void skip_braces() {
        while (!at_end() && peek() != '{') next();
        int depth = 0;
        do {
            skip_blanks();
            if (at_end()) fail("unterminated schema section");
            char c = next();
            if (c == '{') ++depth;
            if (c == '}') --depth;
        } while (depth > 0);
    }

    // `{` item, item ... `}`, the opening brace next.
    std::vector<Value> list() {
        next();
        std::vector<Value> items;
        skip_blanks();
        if (peek() == '}') {
            next();
            return items;
        }
        for (;;) {
            items.push_back(value());
            skip_blanks();
            if (at_end()) fail("unterminated record");
            char c = next();
            if (c == '}') return items;
            if (c != ',') fail(std::string("',' or '}' expected, not '") + c + "'");
            skip_blanks();
        }
    }

    Value value() {
        Value v;
        v.line = line_;
        if (peek() == '{') {
            v.kind = Value::Kind::List;
            v.items = list();
        } else if (peek() == '"') {
            v.kind = Value::Kind::Text;
            v.text = quoted();
        } else {
            v.text = word();
            if (v.text.empty()) fail("a value expected");
        }
        return v;
    }

    // A quoted text; a backslash makes the next character ordinary.
    std::string quoted() {
        int start_line = line_;
        next();
        std::string out;
        for (;;) {
            if (at_end()) throw SyntaxError(start_line, "unterminated text");
            char c = next();
            if (c == '"') return out;
            if (c == '\\') {
                if (at_end()) throw SyntaxError(start_line, "unterminated text");
                c = next();
            }
            out += c;
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_;
};

}  // namespace

std::vector<Section> read_sections(std::string_view text, int first_line) {
    return SectionReader(text, first_line).sections();
}

const Section* find_section(const std::vector<Section>& sections, std::string_view name) {
    for (const Section& section : sections)
        if (section.name == name) return &section;
    return nullptr;
}

}  // namespace qor::report
