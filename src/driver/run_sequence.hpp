// The program's spine: one command line, or a list file of command lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Runs the whole program on its arguments and ends the process.
[[noreturn]] void run_main(const std::vector<std::string>& args);

// Splits one line of a list file into words (see the README for the rules
// on double quotes).
std::vector<std::string> split_list_line(std::string_view line);

}  // namespace qor
