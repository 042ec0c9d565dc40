#include "preprocessor/predefined_file.hpp"

#include <cstdio>
#include <optional>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "preprocessor/definitions_syntax.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

constexpr const char* kSyntaxError = "syntax error in predefined macros file";
// "(a, b)": the parameter names, blanks dropped.
std::vector<std::string> parameter_names(std::string_view list) {
    std::vector<std::string> parameters;
    std::string current;
    bool any = false;
    for (char c : list.substr(1, list.size() - 2)) {
        if (c == ',') {
            parameters.push_back(current);
            current.clear();
            any = true;
        } else if (!is_definitions_blank(c)) {
            current += c;
        }
    }
    if (any || !current.empty()) parameters.push_back(current);
    return parameters;
}

// Defines the macros and takes the directories and assertions of the file.
// Its warnings name neither file nor line, as they always have.
class PredefinedReader : public DefinitionsHandler {
public:
    explicit PredefinedReader(Preprocessor& preprocessor) : preprocessor_(preprocessor) {}

    void macro(unsigned, std::string_view name, std::optional<std::string_view> parameters,
               std::string_view body) override {
        if (!parameters) {
            preprocessor_.macros().define_macro(std::string(name), MacroBody(body), kObjectLike);
            return;
        }
        std::vector<std::string> names = parameter_names(*parameters);
        int count = static_cast<int>(names.size());
        preprocessor_.macros().define_macro(std::string(name), function_macro_body(std::string(body), names), count);
    }
    void include_directory(std::string_view directory) override {
        preprocessor_.add_include_directory(std::string(directory));
    }
    void assertion(std::string_view predicate) override { preprocessor_.assert_predicate(std::string(predicate)); }
    void syntax_error(unsigned) override { report_message(MSG_WARNING, kSyntaxError); }

private:
    Preprocessor& preprocessor_;
};

// A '#' of a function-like body stringizes what follows: a name or a number.
void check_after_hash(const std::string& body, size_t pos) {
    while (pos < body.size() && is_definitions_blank(body[pos])) ++pos;
    unsigned char next = pos < body.size() ? static_cast<unsigned char>(body[pos]) : '\0';
    if (is_c_identifier_char(static_cast<char>(next))) return;
    char text[64];
    if (std::isprint(next))
        std::snprintf(text, sizeof text, "strange character '%c' after #", next);
    else
        std::snprintf(text, sizeof text, "strange character (%d.) after #", next);
    report_message(MSG_ERROR, text);
}

}  // namespace

MacroBody function_macro_body(const std::string& body, const std::vector<std::string>& parameters) {
    auto parameter_index = [&](const std::string& word) -> std::optional<size_t> {
        for (size_t i = 0; i < parameters.size(); ++i)
            if (parameters[i] == word) return i;
        return std::nullopt;
    };
    auto trailing_blanks = [](std::string_view text) {
        size_t count = 0;
        while (count < text.size() && is_definitions_blank(text[text.size() - 1 - count])) ++count;
        return count;
    };
    MacroBody pieces;
    for (size_t i = 0; i < body.size();) {
        char c = body[i];
        if (c == '"' || c == '\'') {
            // Literals are copied as they stand.
            size_t end = i + 1;
            while (end < body.size() && body[end] != c) end += body[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, body.size());
            pieces.add_text(std::string_view(body).substr(i, end - i));
            i = end;
        } else if (c == '#' && i + 1 < body.size() && body[i + 1] == '#') {
            pieces.drop_trailing_text(trailing_blanks(pieces.trailing_text()));
            for (i += 2; i < body.size() && is_definitions_blank(body[i]);) ++i;
        } else if (c == '#') {
            check_after_hash(body, i + 1);
            pieces.add_text("#");
            ++i;
        } else if (is_c_identifier_char(c)) {
            size_t end = i;
            while (end < body.size() && is_c_identifier_char(body[end])) ++end;
            std::string word = body.substr(i, end - i);
            std::optional<size_t> index = is_ascii_digit(c) ? std::nullopt : parameter_index(word);
            if (!index) {
                pieces.add_text(word);
            } else {
                // "#name": the '#' and the blanks after it make the argument a
                // string literal.
                std::string_view text = pieces.trailing_text();
                size_t hash = text.find_last_not_of(" \t");
                bool stringized =
                    hash != std::string_view::npos && text[hash] == '#' && (hash == 0 || text[hash - 1] != '#');
                if (stringized) pieces.drop_trailing_text(text.size() - hash);
                pieces.add_argument(*index,
                                    stringized ? BodyPiece::Kind::StringizedArgument : BodyPiece::Kind::Argument);
            }
            i = end;
        } else {
            pieces.add_text(std::string_view(&body[i], 1));
            ++i;
        }
    }
    return pieces;
}

void read_predefined(const std::string& path, Preprocessor& preprocessor) {
    std::optional<std::string> text = definitions_text(path);
    if (!text) {
        report_message(MSG_ERROR, "Inaccessible '" + path + "' file.");
        return;
    }
    PredefinedReader reader(preprocessor);
    read_definition_lines(*text, DefinitionsSyntax{}, reader);
}

}  // namespace qor
