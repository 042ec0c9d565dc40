// The options file of the GNU dialects when a compiler is named: the
// compiler's own predefined macros and include search path for the flags
// in use (-O2, -m32, -std=, -funsigned-char ...), so that the analysis
// reads the text that the compiler compiles. The answer is asked once per
// compiler and flag set and kept in a cache directory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "driver/run_options.hpp"

namespace qor {

// The words that ask the compiler: its command, the flags of the command
// line that can change its macros or search path, and -dM -E -v on an
// empty C input. -D, -U, -I, -include and their kin are left to the
// preprocessor, which applies them in their order.
std::vector<std::string> compiler_query_command(const RunOptions& options);

// The options file from the compiler's answer: its -dM output (macros) and
// its -v report (the <...> search list). `first_line` names the query.
std::string options_file_from_answer(const std::string& first_line, const std::string& macros,
                                     const std::string& report);

// The path of the options file for the command line, asked of the compiler
// unless the cache holds it; none when the command answers without the
// search list that every compiler reports (a stand-in such as `true`),
// which is no compiler to ask. A compiler that cannot be asked ends the run
// with status 127 after a message naming it; a cache that cannot be
// written ends it as a fatal error. The run's settings name the cache
// directories (RunSettings::from_environment).
std::optional<std::string> compiler_options_file(const RunOptions& options);

}  // namespace qor
