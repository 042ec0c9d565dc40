// One run of full_prepro: the source file preprocessed onto standard output.
#pragma once

#include "messages.hpp"
#include "options.hpp"

namespace full_prepro {

// The exit status: 1 after any error, else 0.
int run(const Options& options, Messages& messages);

}  // namespace full_prepro
