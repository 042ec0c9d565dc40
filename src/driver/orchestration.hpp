// One command line's build: every source file analysed in turn, then the
// real compiler run on the command line's files.
#pragma once

#include <string>
#include <vector>

#include "driver/run.hpp"

namespace qor {

// Analyses the source files, keeps the console informed, records each
// successful file's dependencies, removes the outputs of failed files and
// runs the compiler. Ends the process when the compiler fails.
void orchestrate_build(Run& run);

// A command line whose product is the compiler's output (-E, -M, a
// version query): the compiler runs on it as it is, and nothing is analysed.
void pass_to_compiler(Run& run);

// Removes each file named, as after a failed analysis.
void remove_files(const std::vector<std::string>& names);

// The argument vector of the compile step.
std::vector<std::string> compile_command(const RunOptions& options, bool dynamic_mode);

// Splits a command text into words at blanks; double quotes group words
// and are removed.
std::vector<std::string> split_command_words(const std::string& text);

// The relative directory from `from_file`'s directory to `to_file`'s,
// ending in '/' ("" when they are the same or a path cannot be had).
std::string relative_directory(const std::string& from_file, const std::string& to_file);

}  // namespace qor
