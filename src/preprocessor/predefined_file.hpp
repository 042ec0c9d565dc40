// The predefined-macros file of a dialect: the compiler's predefined
// macros, include directories and assertions, one per line.
#pragma once

#include <string>
#include <vector>

#include "preprocessor/macro_table.hpp"

namespace qor {

class Preprocessor;

// Reads the file at `path` into the preprocessor. A file that cannot be
// read gives "Inaccessible '<path>' file."; a malformed line the warning
// "syntax error in predefined macros file" and is skipped.
void read_predefined(const std::string& path, Preprocessor& preprocessor);

// The body of a function-like D line with its parameter names turned into
// argument references, #name into a stringized reference, and ## with the
// blanks around it removed, so that the arguments of a use are substituted.
MacroBody function_macro_body(const std::string& body, const std::vector<std::string>& parameters);

}  // namespace qor
