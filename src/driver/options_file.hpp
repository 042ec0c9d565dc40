// The dialect's options file (<DIALECT>.def): finding it and reading it
// into the preprocessor of a source file.
#pragma once

#include <optional>
#include <string>

#include "driver/run.hpp"

namespace qor {

class Preprocessor;

// Searches -ddef, $QOR_CC_DEF, the current and home directories, $QOR_UTIL
// and then the installation's util directory; the file found becomes the
// -ddef name and is announced once per process. A file found before the
// installation is read only in internal mode (the external preprocessor
// reads it itself); one of the installation is always read. A missing file
// gets a line on standard error that is not counted as a warning. The
// preprocessor options of the command line are applied afterwards.
std::optional<std::string> read_options_file(Run& run, Preprocessor& preprocessor);

}  // namespace qor
