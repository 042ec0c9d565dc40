// Turns a command line into the run's option state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/run_options.hpp"

namespace qor {

// Fills `options` from the arguments (the program path first). May end the
// process through the usage display or a fatal error.
void parse_command_line(const RunOptions& options, const std::vector<std::string>& args);

// Splits one line of a response file into words: blanks, tabs and
// backspaces separate, double quotes group and are removed, a backslash in
// quotes keeps itself and the next character.
std::vector<std::string> split_response_line(std::string_view line);

// The program's own name: the executable's base name cut at its first '.'.
std::string program_name_from_path(std::string_view path);

// Reports `message` (if any) as an error, prints the usage file on standard
// error and ends the run with status 1.
[[noreturn]] void show_usage(const RunOptions& options, std::string_view message = {});

}  // namespace qor
