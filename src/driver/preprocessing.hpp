// Starting the preprocessing of one source file: the external
// preprocessor's command, or the file itself in internal mode.
#pragma once

#include <string>
#include <vector>

#include "driver/run.hpp"

namespace qor {

class Preprocessor;

// The external preprocessor's argument vector for `source`.
std::vector<std::string> external_preprocessor_command(const Run& run, const std::string& source);

// Gives the preprocessor its bottom input; false when the external
// preprocessor could not be started (reported as a warning). With -E the
// run ends here with status 0.
bool start_preprocessing(Run& run, Preprocessor& preprocessor, const std::string& source);

}  // namespace qor
