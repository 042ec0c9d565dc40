#include "definitions_file.hpp"

#include <algorithm>

#include "preprocessor/definitions_syntax.hpp"
#include "preprocessor/language_standard.hpp"
#include "text_file.hpp"

namespace full_prepro {

namespace {

// Keeps the macros and include directories; the clang preprocessor has no
// assertions. Warnings name the file and line.
class DefinitionsReader : public qor::DefinitionsHandler {
public:
    DefinitionsReader(const std::string& path, Definitions& definitions, Messages& messages)
        : path_(path), definitions_(definitions), messages_(messages) {}

    void macro(unsigned line, std::string_view name, std::optional<std::string_view> parameters,
               std::string_view body) override {
        definitions_.macros.push_back(
            FileMacro{line, std::string(name), std::string(parameters.value_or("")), std::string(body)});
    }
    void include_directory(std::string_view directory) override {
        if (!directory.empty()) definitions_.include_directories.emplace_back(directory);
    }
    void assertion(std::string_view) override {}
    void syntax_error(unsigned line) override {
        messages_.warning(path_, line, "syntax error in predefined macros file");
    }

private:
    const std::string& path_;
    Definitions& definitions_;
    Messages& messages_;
};

}  // namespace

void read_definitions(const std::string& path, Definitions& definitions, Messages& messages) {
    std::optional<std::string> file = read_text_file(path);
    if (!file) {
        messages.error("Inaccessible '" + path + "' file.");
        return;
    }
    DefinitionsReader reader(path, definitions, messages);
    read_definition_lines(*file, qor::DefinitionsSyntax{.macro_names_checked = true, .last_line_cr_dropped = true},
                          reader);
}

bool defines_c23(const Definitions& definitions) {
    bool c23 = false;  // as the last definition says
    for (const FileMacro& macro : definitions.macros)
        if (macro.name == "__STDC_VERSION__" && macro.parameters.empty()) c23 = qor::is_c23_version(macro.body);
    return c23;
}

bool defines_embed(const Definitions& definitions) {
    return std::any_of(definitions.macros.begin(), definitions.macros.end(),
                       [](const FileMacro& macro) { return macro.name == "__STDC_EMBED_FOUND__"; });
}

}  // namespace full_prepro
