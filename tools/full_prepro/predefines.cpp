#include "predefines.hpp"

#include "foundation/char_class.hpp"
#include "source_files.hpp"

namespace full_prepro {

namespace {

// A value stays on its directive line: line breaks become blanks, and a
// final backslash is kept from joining the next line.
std::string one_line(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    if (!text.empty() && text.back() == '\\') text += "/**/";
    return text;
}

// "# LINE "FILE"" before a directive makes clang's messages name its origin.
std::string position(unsigned line, const std::string& file) {
    return "# " + std::to_string(line) + " " + quoted(file) + "\n";
}

// A later definition replaces an earlier one without a redefinition message;
// the #undef line comes first so that the position names the #define line.
void add_define(std::string& text, const std::string& origin, const std::string& name,
                const std::string& parameters, const std::string& body) {
    text += "#undef " + name + "\n" + origin + "#define " + name + one_line(parameters) + " " + one_line(body) + "\n";
}

// "NAME", "NAME=VALUE" or "NAME(PARAMS)=VALUE"; false for a bad name.
bool add_option(std::string& text, const std::string& origin, const MacroOption& option) {
    if (!option.define) {
        if (!qor::is_c_identifier(option.text)) return false;
        text += origin + "#undef " + option.text + "\n";
        return true;
    }
    size_t equals = option.text.find('=');
    std::string head = option.text.substr(0, equals);
    size_t open = head.find('(');
    std::string name = head.substr(0, open);
    if (!qor::is_c_identifier(name)) return false;
    std::string parameters = open == std::string::npos ? "" : head.substr(open);
    add_define(text, origin, name, parameters, equals == std::string::npos ? "1" : option.text.substr(equals + 1));
    return true;
}

// A file that the line `#include "NAME"` cannot name is refused.
bool add_file(std::string& text, const std::string& origin, const std::string& directive, const std::string& name) {
    if (name.find_first_of("\"\n\r") != std::string::npos) return false;
    text += origin + directive + " \"" + name + "\"\n";
    return true;
}

}  // namespace

std::string predefines_text(const Options& options, const Definitions& definitions, Messages& messages) {
    std::string text;
    if (!options.without_file_macros) {
        for (const FileMacro& macro : definitions.macros)
            add_define(text, position(macro.line, options.definitions_file.value_or("")), macro.name,
                       macro.parameters, macro.body);
    }
    unsigned number = 0;
    for (const MacroOption& option : options.macro_options) {
        if (!add_option(text, position(++number, "<command line>"), option))
            messages.error(std::string("invalid macro name in -") + (option.define ? "D" : "U") + option.text);
    }
    // clang searches the #include lines of this buffer from the working
    // directory, then along the "..." chain. It reads a file of
    // #__include_macros for its macros only, up to the "##" that follows.
    for (const std::string& file : options.macro_files) {
        if (add_file(text, position(++number, "<command line>"), "#__include_macros", file))
            text += "##\n";
        else
            messages.error("invalid file name in -imacros " + file);
    }
    for (const std::string& file : options.included_files) {
        if (!add_file(text, position(++number, "<command line>"), "#include", file))
            messages.error("invalid file name in -include " + file);
    }
    return text;
}

}  // namespace full_prepro
