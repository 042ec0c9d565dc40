#include "driver/options_file.hpp"

#include <cstdio>

#include "driver/compiler_query.hpp"
#include "driver/gcc_options.hpp"

#include "foundation/file_lookup.hpp"
#include "preprocessor/predefined_file.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

void announce(Run& run, const std::string& path) {
    if (run.options_file_announced || run.settings.quiet) return;
    std::printf("qor_cc : using default options file : %s\n", path.c_str());
    std::fflush(stdout);
    run.options_file_announced = true;
}

// The directory of an -isystem, -idirafter or -iquote option.
std::optional<std::string> system_or_quote_directory(const std::vector<std::string>& words, const GccOption& option) {
    const std::string& word = words[option.index];
    for (std::string_view name : {"-isystem", "-idirafter", "-iquote"}) {
        if (word.starts_with(name)) return option.count == 2 ? words[option.index + 1] : word.substr(name.size());
    }
    return std::nullopt;
}

// The built-in preprocessor knows -D, -U and -I: with gcc's command line it
// gets those, and the directories of -isystem, -idirafter and -iquote as
// -I ones; -include, -imacros, -nostdinc and -undef need the full one.
std::vector<std::string> builtin_preprocessor_options(const RunOptions& options) {
    if (!options.said.gcc_command_line) return options.said.preprocessor_options;
    const auto& words = options.said.preprocessor_options;
    std::vector<std::string> kept;
    for (const GccOption& option : gcc_option_groups(words)) {
        const std::string& word = words[option.index];
        if (auto directory = system_or_quote_directory(words, option))
            kept.insert(kept.end(), {"-I", *directory});
        else if (word.starts_with("-D") || word.starts_with("-U") || word.starts_with("-I"))
            kept.insert(kept.end(), words.begin() + option.index, words.begin() + option.index + option.count);
    }
    return kept;
}

// The GNU dialects with a compiler take their options file from it, unless
// -ddef or QOR_CC_DEF names one (or the command gives no compiler's
// answer: then it is found as in the other dialects).
bool asks_compiler(const CommandLineBuild& line) {
    const CommandLineOptions& said = line.said;
    if (!said.gcc_command_line || !said.compiler_command || line.options.settings.options_file_variable) return false;
    return !said.options_file || said.options_file == line.compiler_options_file;
}

}  // namespace

std::optional<std::string> read_options_file(Run& run, Preprocessor& preprocessor) {
    CommandLineBuild& line = run.line();
    if (asks_compiler(line) && !line.compiler_asked) {
        line.compiler_options_file = compiler_options_file(line.options);
        line.compiler_asked = true;
    }
    if (line.compiler_options_file && asks_compiler(line)) {
        line.said.options_file = line.compiler_options_file;
        if (!run.settings.external_preprocessor) read_predefined(*line.compiler_options_file, preprocessor);
        preprocessor.preprocessor_options(builtin_preprocessor_options(line.options));
        return line.compiler_options_file;
    }
    std::string file_name = run.settings.dialect.file_stem() + ".def";
    auto found = find_config_file(line.said.options_file, "QOR_CC_DEF", file_name, true, true, "$QOR_UTIL");
    if (found) {
        if (!line.said.options_file) line.said.options_file = *found;
        announce(run, *found);
        if (!run.settings.external_preprocessor) read_predefined(*found, preprocessor);
    } else if ((found = find_in_installation(file_name))) {
        read_predefined(*found, preprocessor);
        announce(run, *found);
        line.said.options_file = *found;
    } else {
        std::fprintf(stderr, "warning : Unable to locate %s.def file\n", run.settings.dialect.file_stem().c_str());
        std::fflush(stderr);
    }
    preprocessor.preprocessor_options(builtin_preprocessor_options(line.options));
    return found;
}

}  // namespace qor
