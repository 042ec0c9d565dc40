// The program's spine: one command line, or a list file of command lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Runs the whole program on its arguments and ends the process.
[[noreturn]] void run_main(const std::vector<std::string>& args);

// The program's run without the process around it (no exit handler, no
// crash handler): returns the exit status, or ends through
// Diagnostics::exit.
int run_program(const std::vector<std::string>& args);

// The lines of a list file, each with its line feed; a carriage return
// before a line feed is dropped. A file that cannot be opened ends the run
// with status 1.
std::vector<std::string> read_list_file(const std::string& name);

// Splits one line of a list file into words (see the README for the rules
// on double quotes).
std::vector<std::string> split_list_line(std::string_view line);

}  // namespace qor
