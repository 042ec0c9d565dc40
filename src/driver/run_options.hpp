// The option state of one command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/dialect.hpp"

namespace qor {

struct RunOptions {
    // Renewed at each parse.
    std::string program_name;
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

    // Emptied by reset_option_state between command lines.
    std::vector<std::string> preprocessor_options;
    // One entry per word. With gcc's command line: every word for the
    // compiler in the order given, source files included, each at the
    // place that source_places names.
    std::vector<std::string> compiler_options;
    std::vector<size_t> source_places;
    std::optional<std::string> compiler_command;
    std::vector<std::string> source_files;
    std::vector<std::string> object_files;
    std::vector<std::string> sta_files;
    std::vector<std::string> mtr_files;
    std::vector<std::string> instrumented_sources;
    std::vector<std::string> dck_files;
    std::optional<std::string> output_file;
    std::optional<std::string> output_directory;
    std::optional<std::string> options_file;    // -ddef, or the one found
    std::optional<std::string> macro_name_file; // -mac
    std::optional<std::string> prefix;
    std::optional<std::string> suffix;
    std::vector<std::string> ignore_files;      // -ign, in order

    // Kept for the whole process.
    DialectState dialect;
    std::optional<std::string> pch_use;
    std::optional<std::string> pch_create;
    std::string instrumentation_script = "instrument.tcl";
    bool file_list_mode = false;
    std::string list_file;
    bool prefix_given = false;
    bool suffix_given = false;
    bool short_names = true;
    bool batch = false;
    // -quiet or QOR_CC_QUIET: no banner, progress line or note, only
    // messages about the code and failures.
    bool quiet = false;
    bool preprocess_only = false;
    bool basic_counts = false;
    bool cpp_comments = false;
    bool macro_expansion = true;
    bool no_date = false;
    bool write_mtr = true;
    bool external_preprocessor = true;
    bool static_banner_printed = false;

    void add_preprocessor_option(const std::string& text) { preprocessor_options.push_back(text); }
    // One word for the real compiler; "-Yu<h>" and "-Yc<h>" name the
    // precompiled header to use or create instead.
    void add_compiler_option(const std::string& text);
    // Empties what a new command line must not inherit.
    void reset_option_state();
};

}  // namespace qor
