#include "preprocessor/language_standard.hpp"

#include <charconv>
#include <optional>

#include "preprocessor/definitions_syntax.hpp"

namespace qor {

namespace {

constexpr long kFirstC23Version = 202000;
constexpr long kC23Version = 202311;
// The first gcc whose C2x mode has C23's keywords.
constexpr long kFirstGccWithC23Keywords = 13;

std::optional<long> number(std::string_view digits) {
    long value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

// Keeps the bodies of the last __STDC_VERSION__ and __GNUC__ lines and
// whether __clang__ is defined; the rest is read by the preprocessor that
// takes the file.
class VersionReader : public DefinitionsHandler {
public:
    void macro(unsigned, std::string_view name, std::optional<std::string_view> parameters,
               std::string_view body) override {
        if (parameters) return;
        if (name == "__STDC_VERSION__") version = std::string(body);
        if (name == "__GNUC__") gnuc = number(body);
        if (name == "__clang__") clang = true;
    }
    void include_directory(std::string_view) override {}
    void assertion(std::string_view) override {}
    void syntax_error(unsigned) override {}

    std::optional<std::string> version;
    std::optional<long> gnuc;
    bool clang = false;
};

}  // namespace

bool is_c23_version(std::string_view value) {
    std::optional<long> version = number(value);
    return version && *version >= kFirstC23Version;
}

C23Reading options_file_c23(const std::string& path) {
    std::optional<std::string> text = definitions_text(path);
    if (!text) return {};
    VersionReader reader;
    read_definition_lines(*text, DefinitionsSyntax{}, reader);
    if (!reader.version || !is_c23_version(*reader.version)) return {};
    bool older_gcc = !reader.clang && reader.gnuc && *reader.gnuc < kFirstGccWithC23Keywords;
    return {true, !older_gcc || number(*reader.version).value_or(0) >= kC23Version};
}

}  // namespace qor
