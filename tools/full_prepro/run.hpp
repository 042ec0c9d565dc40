// One run of full_prepro: the source file preprocessed onto a stream.
#pragma once

#include <cstdio>

#include "messages.hpp"
#include "options.hpp"

namespace full_prepro {

// Writes the preprocessed text to `output` (standard output for the
// program). The exit status: 1 after any error, else 0.
int run(const Options& options, Messages& messages, std::FILE* output);

}  // namespace full_prepro
