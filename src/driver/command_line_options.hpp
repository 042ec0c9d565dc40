// What one command line says: renewed at each parse, or empty for each
// new command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qor {

struct CommandLineOptions {
    std::string source_filter;  // "" reads as "*.c;*.C;"
    bool output_from_fo = false;
    bool dynamic_mode = false;
    bool compile_only = true;
    bool decision_only = true;
    bool no_update = false;
    // The GNU dialects read the words as gcc does; the compiler then gets
    // them in the order given (see compiler_options).
    bool gcc_command_line = false;
    // The compiler's output is the product asked for (-E, -M, --version...):
    // the command line goes to the compiler as it is.
    bool compiler_product = false;

    std::vector<std::string> preprocessor_options;
    // One entry per word. With gcc's command line: every word for the
    // compiler in the order given, source files included, each at the
    // place that source_places names.
    std::vector<std::string> compiler_options;
    std::vector<size_t> source_places;
    std::optional<std::string> compiler_command;
    std::vector<std::string> source_files;
    std::vector<std::string> object_files;
    std::optional<std::string> output_file;
    std::optional<std::string> output_directory;
    std::optional<std::string> options_file;    // -ddef, or the one found
    std::optional<std::string> macro_name_file; // -mac
    std::optional<std::string> prefix;
    std::optional<std::string> suffix;
    std::vector<std::string> ignore_files;      // -ign, in order

    void add_preprocessor_option(const std::string& text) { preprocessor_options.push_back(text); }
};

// The files that the build of one command line names: the results files
// given on it, and those and the instrumented copies of its analysis.
struct BuildOutputs {
    std::vector<std::string> sta_files;
    std::vector<std::string> mtr_files;
    std::vector<std::string> dck_files;
    std::vector<std::string> instrumented_sources;
};

}  // namespace qor
