#include "preprocessor/language_standard.hpp"

#include <charconv>
#include <optional>

#include "preprocessor/definitions_syntax.hpp"

namespace qor {

namespace {

constexpr long kFirstC23Version = 202000;

// Keeps the body of the last __STDC_VERSION__ line; the rest is read by
// the preprocessor that takes the file.
class VersionReader : public DefinitionsHandler {
public:
    void macro(unsigned, std::string_view name, std::optional<std::string_view> parameters,
               std::string_view body) override {
        if (name == "__STDC_VERSION__" && !parameters) version = std::string(body);
    }
    void include_directory(std::string_view) override {}
    void assertion(std::string_view) override {}
    void syntax_error(unsigned) override {}

    std::optional<std::string> version;
};

}  // namespace

bool is_c23_version(std::string_view value) {
    long number = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    return error == std::errc() && number >= kFirstC23Version;
}

bool options_file_is_c23(const std::string& path) {
    std::optional<std::string> text = definitions_text(path);
    if (!text) return false;
    VersionReader reader;
    read_definition_lines(*text, DefinitionsSyntax{}, reader);
    return reader.version && is_c23_version(*reader.version);
}

}  // namespace qor
