#include "driver/gcc_compile.hpp"

#include <algorithm>
#include <optional>

#include "driver/gcc_options.hpp"
#include "foundation/text.hpp"

namespace qor {

namespace {

bool is_source_place(const RunOptions& options, size_t index) {
    return std::find(options.said.source_places.begin(), options.said.source_places.end(), index) !=
           options.said.source_places.end();
}

// Whether an option of the words (not an option's argument) passes `test`.
template <class Test>
bool any_option(const std::vector<std::string>& words, Test test) {
    for (const GccOption& option : gcc_option_groups(words))
        if (test(std::string_view(words[option.index]))) return true;
    return false;
}

bool has_word(const std::vector<std::string>& words, std::string_view word) {
    return any_option(words, [word](std::string_view w) { return w == word; });
}

bool has_prefix(const std::vector<std::string>& words, std::string_view prefix) {
    return any_option(words, [prefix](std::string_view w) { return w.starts_with(prefix); });
}

// The suffix of the file the compiler makes of one source: ".s" with -S,
// ".o" with -c, none when it links.
std::string output_suffix(const std::vector<std::string>& words) {
    if (has_word(words, "-S")) return ".s";
    if (has_word(words, "-c")) return ".o";
    return {};
}

// The name of -o as given to the compiler.
std::optional<std::string> given_output(const std::vector<std::string>& words) {
    std::optional<std::string> name;
    for (const GccOption& w : gcc_option_groups(words))
        if (words[w.index] == "-o" && w.count == 2) name = words[w.index + 1];
    return name;
}

// What gcc calls the output of `source` without -o: its base name with the
// suffix in place of its extension, in the working directory.
std::string default_output(std::string_view source, const std::string& suffix) {
    std::string_view name = last_component(source);
    return std::string(name.substr(0, name.rfind('.'))) + suffix;
}

// `name` with its last extension replaced by ".d", as gcc names the
// dependency file of -MD after the output.
std::string dependency_file(const std::string& name) {
    size_t dot = name.rfind('.');
    size_t sep = last_separator(name);
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return name + ".d";
    return name.substr(0, dot) + ".d";
}

const std::string& compiled_source(const RunOptions& options, size_t source, bool dynamic_mode) {
    if (dynamic_mode && source < options.outputs.instrumented_sources.size())
        return options.outputs.instrumented_sources[source];
    return options.said.source_files[source];
}

}  // namespace

std::vector<std::string> gcc_compile_words(const RunOptions& options, bool dynamic_mode) {
    const auto& words = options.said.compiler_options;
    std::vector<std::string> result;
    size_t source = 0;
    for (const GccOption& w : gcc_option_groups(words)) {
        if (is_source_place(options, w.index)) {
            result.push_back(compiled_source(options, source++, dynamic_mode));
        } else if (!dynamic_mode || !(gcc_dependency_option(words[w.index]) || gcc_forced_header(words[w.index]))) {
            // A dynamic build leaves the dependency file to the check and
            // -include and -imacros out: the copy holds what they bring.
            result.insert(result.end(), words.begin() + w.index, words.begin() + w.index + w.count);
        }
    }
    std::string suffix = output_suffix(words);
    if (dynamic_mode && options.said.source_files.size() == 1 && !given_output(words) && !suffix.empty())
        result.insert(result.end(), {"-o", default_output(options.said.source_files.front(), suffix)});
    return result;
}

bool gcc_wants_dependencies(const RunOptions& options) {
    return has_word(options.said.compiler_options, "-MD") || has_word(options.said.compiler_options, "-MMD");
}

std::vector<std::string> gcc_source_check(const RunOptions& options, size_t index) {
    const auto& words = options.said.compiler_options;
    std::vector<std::string> result;
    size_t source = 0;
    for (const GccOption& w : gcc_option_groups(words)) {
        const std::string& word = words[w.index];
        if (is_source_place(options, w.index)) {
            if (source++ == index) result.push_back(word);
        } else if (word.starts_with('-') && word != "-" && word != "-c" && word != "-S" && word != "-o") {
            // Other input files are left out: preprocessing would only
            // warn that their linking is not done.
            result.insert(result.end(), words.begin() + w.index, words.begin() + w.index + w.count);
        }
    }
    result.insert(result.end(), {"-E", "-o", "/dev/null"});
    if (!gcc_wants_dependencies(options)) return result;
    std::string suffix = output_suffix(words);
    std::string target =
        given_output(words).value_or(default_output(options.said.source_files[index], suffix.empty() ? ".o" : suffix));
    if (!has_prefix(words, "-MF")) result.insert(result.end(), {"-MF", dependency_file(target)});
    if (!has_prefix(words, "-MT") && !has_prefix(words, "-MQ")) result.insert(result.end(), {"-MQ", target});
    return result;
}

std::vector<std::pair<std::string, std::string>> gcc_outputs_to_rename(const RunOptions& options) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string suffix = output_suffix(options.said.compiler_options);
    if (options.said.source_files.size() < 2 || given_output(options.said.compiler_options) || suffix.empty())
        return pairs;
    for (size_t i = 0; i < options.said.source_files.size() && i < options.outputs.instrumented_sources.size(); ++i)
        pairs.emplace_back(default_output(options.outputs.instrumented_sources[i], suffix),
                           default_output(options.said.source_files[i], suffix));
    return pairs;
}

}  // namespace qor
