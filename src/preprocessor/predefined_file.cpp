#include "preprocessor/predefined_file.hpp"

#include <cstdio>
#include <optional>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

constexpr const char* kSyntaxError = "syntax error in predefined macros file";

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\b' || c == '\r'; }
bool is_identifier_char(char c) { return c == '_' || c == '$' || is_ascii_alnum(c); }

// A cursor over one line of the file.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    void skip_blanks() {
        while (pos_ < line_.size() && is_blank(line_[pos_])) ++pos_;
    }
    bool at_end() const { return pos_ >= line_.size(); }
    char peek() const { return at_end() ? '\0' : line_[pos_]; }
    void advance() { ++pos_; }
    // Up to a blank, '(' or the end.
    std::string word() {
        size_t start = pos_;
        while (!at_end() && !is_blank(peek()) && peek() != '(') ++pos_;
        return std::string(line_.substr(start, pos_ - start));
    }
    std::string rest() {
        std::string text(line_.substr(pos_));
        pos_ = line_.size();
        return text;
    }

private:
    std::string_view line_;
    size_t pos_ = 0;
};

// "(a, b)" after a D line's name: the parameter names.
std::optional<std::vector<std::string>> read_parameters(LineReader& reader) {
    std::vector<std::string> parameters;
    std::string current;
    bool any = false;
    for (reader.advance(); !reader.at_end(); reader.advance()) {
        char c = reader.peek();
        if (c == ')') {
            reader.advance();
            if (any || !current.empty()) parameters.push_back(current);
            return parameters;
        }
        if (c == ',') {
            parameters.push_back(current);
            current.clear();
            any = true;
        } else if (!is_blank(c)) {
            current += c;
        }
    }
    return std::nullopt;
}

bool read_define(LineReader& reader, Preprocessor& preprocessor) {
    reader.skip_blanks();
    std::string name = reader.word();
    if (name.empty()) return false;
    std::optional<std::vector<std::string>> parameters;
    if (reader.peek() == '(') {
        parameters = read_parameters(reader);
        if (!parameters) return false;
    }
    reader.skip_blanks();
    std::string body = reader.rest();
    if (!parameters) {
        preprocessor.macros().define_macro(name, body, kObjectLike);
    } else {
        int count = static_cast<int>(parameters->size());
        preprocessor.macros().define_macro(name, encode_macro_body(body, *parameters), count);
    }
    return true;
}

// The directory of an I or E line: up to the end or '(', trailing blanks
// dropped, inner blanks kept.
std::string read_directory(LineReader& reader) {
    reader.skip_blanks();
    std::string directory;
    while (!reader.at_end() && reader.peek() != '(') {
        directory += reader.peek();
        reader.advance();
    }
    while (!directory.empty() && is_blank(directory.back())) directory.pop_back();
    return directory;
}

// "name (text)": the predicate "name(text)" with blank runs made single
// and the blanks before the closing parenthesis dropped.
std::optional<std::string> read_assertion(LineReader& reader) {
    reader.skip_blanks();
    std::string predicate = reader.word();
    reader.skip_blanks();
    if (predicate.empty() || reader.peek() != '(') return std::nullopt;
    int depth = 0;
    for (; !reader.at_end(); reader.advance()) {
        char c = reader.peek();
        if (is_blank(c)) {
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

void read_line(std::string_view line, Preprocessor& preprocessor) {
    size_t start = 0;
    while (start < line.size() && is_blank(line[start])) ++start;
    if (start == line.size()) return;
    std::string_view text = line.substr(start);
    if (text.substr(0, 2) == "//" || text.substr(0, 2) == "/*") return;
    LineReader content(text.substr(1));
    bool ok = true;
    switch (text[0]) {
    case 'D': ok = read_define(content, preprocessor); break;
    case 'I': preprocessor.add_include_directory(read_directory(content)); break;
    case 'E': read_directory(content); break;
    case 'A':
        if (auto predicate = read_assertion(content))
            preprocessor.assert_predicate(*predicate);
        else
            ok = false;
        break;
    default: ok = false; break;
    }
    if (!ok) report_message(MSG_WARNING, kSyntaxError);
}

// A '#' of a function-like body stringizes what follows: a name or a number.
void check_after_hash(const std::string& body, size_t pos) {
    while (pos < body.size() && is_blank(body[pos])) ++pos;
    unsigned char next = pos < body.size() ? static_cast<unsigned char>(body[pos]) : '\0';
    if (is_identifier_char(static_cast<char>(next))) return;
    char text[64];
    if (std::isprint(next))
        std::snprintf(text, sizeof text, "strange character '%c' after #", next);
    else
        std::snprintf(text, sizeof text, "strange character (%d.) after #", next);
    report_message(MSG_ERROR, text);
}

}  // namespace

std::string encode_macro_body(const std::string& body, const std::vector<std::string>& parameters) {
    auto parameter_index = [&](const std::string& word) -> int {
        for (size_t i = 0; i < parameters.size(); ++i)
            if (parameters[i] == word) return static_cast<int>(i);
        return -1;
    };
    std::string encoded;
    for (size_t i = 0; i < body.size();) {
        char c = body[i];
        if (c == '"' || c == '\'') {
            // Literals are copied as they stand.
            size_t end = i + 1;
            while (end < body.size() && body[end] != c) end += body[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, body.size());
            encoded += body.substr(i, end - i);
            i = end;
        } else if (c == '#' && i + 1 < body.size() && body[i + 1] == '#') {
            while (!encoded.empty() && is_blank(encoded.back())) encoded.pop_back();
            for (i += 2; i < body.size() && is_blank(body[i]);) ++i;
        } else if (c == '#') {
            check_after_hash(body, i + 1);
            encoded += c;
            ++i;
        } else if (is_identifier_char(c)) {
            size_t end = i;
            while (end < body.size() && is_identifier_char(body[end])) ++end;
            std::string word = body.substr(i, end - i);
            int index = is_ascii_digit(c) ? -1 : parameter_index(word);
            if (index < 0) {
                encoded += word;
            } else {
                // "#name": the '#' and the blanks after it become the code.
                size_t hash = encoded.find_last_not_of(" \t");
                if (hash != std::string::npos && encoded[hash] == '#' && (hash == 0 || encoded[hash - 1] != '#')) {
                    encoded.erase(hash);
                    encoded += static_cast<char>(kStringize);
                }
                encoded += static_cast<char>(kArgumentReferencePlus1);
                encoded += static_cast<char>(index + 1);
            }
            i = end;
        } else {
            encoded += c;
            ++i;
        }
    }
    return encoded;
}

void read_predefined(const std::string& path, Preprocessor& preprocessor) {
    FilePtr file = open_file(path, "r", 0, NameForm::Literal);
    if (!file) {
        report_message(MSG_ERROR, "Inaccessible '" + path + "' file.");
        return;
    }
    std::string line;
    for (int c; (c = std::fgetc(file.get())) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        read_line(line, preprocessor);
        line.clear();
    }
    if (!line.empty()) read_line(line, preprocessor);
}

}  // namespace qor
