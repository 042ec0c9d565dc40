// Finding the dialect's options file (<DIALECT>.def).
#pragma once

#include <optional>
#include <string>

#include "driver/run.hpp"

namespace qor {

// Searches -ddef, $QOR_CC_DEF, the current and home directories, $QOR_UTIL
// and the installation's util directory. The file found becomes the -ddef
// name and is announced once per process; a missing file gets a line on
// standard error that is not counted as a warning.
std::optional<std::string> locate_options_file(Run& run);

}  // namespace qor
