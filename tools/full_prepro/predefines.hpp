// The predefines buffer of the clang preprocessor, which replaces clang's
// own: the macros of the definitions file (unless -undef), the -D and -U
// arguments in command-line order, then the -imacros files and the -include
// files, each kind in command-line order. No compiler macro is added.
#pragma once

#include <string>
#include <vector>

#include "definitions_file.hpp"
#include "messages.hpp"
#include "options.hpp"

namespace full_prepro {

// Line markers in the text make clang's messages name the definitions file
// and its line, or "<command line>" and the option's place among those the
// buffer holds. A -D or -U whose name is not an identifier, or a file name
// that an #include line cannot hold, is reported and left out.
std::string predefines_text(const Options& options, const Definitions& definitions, Messages& messages);

}  // namespace full_prepro
