// The compile step of a gcc command line (the GNU dialects): the user's
// words in their order, and in dynamic mode the changes that make the
// instrumented build leave what the plain build leaves.
#pragma once

#include <string>
#include <vector>

#include "driver/run_options.hpp"

namespace qor {

// The compiler's words after the compiler command. In dynamic mode the
// instrumented copies stand in the sources' places, the dependency options
// are left to `gcc_source_check`, and a single object or assembler file
// without -o gets the name the compiler gives it for the original source.
std::vector<std::string> gcc_compile_words(const RunOptions& options, bool dynamic_mode);

// Dynamic mode: whether the sources must be checked by the compiler before
// the instrumented build (for the dependency file they ask for).
bool gcc_wants_dependencies(const RunOptions& options);

// Dynamic mode: the compiler's words that preprocess the original source
// number `index` to no output: they give the compiler's own verdict on its
// preprocessing (#error, missing headers) and write the dependency file of
// -MD and -MMD, named as the plain build names it.
std::vector<std::string> gcc_source_check(const RunOptions& options, size_t index);

// Dynamic mode, several sources compiled without -o: the files the
// compiler made for the instrumented copies and the names it gives them
// for the original sources (a.inst.o and a.o), in pairs.
std::vector<std::pair<std::string, std::string>> gcc_outputs_to_rename(const RunOptions& options);

}  // namespace qor
