// The names of every file written for a source file, and the names that
// stand in for the compiler's own outputs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/run_options.hpp"

namespace qor {

// Cuts the name before the first '.' of its last component from which the
// rest is a known output extension (".o", ".obj", ".inst.obj", ".sta", ...).
std::string strip_output_extension(std::string_view name);

// The result file of `source` with the extension `ext` ("sta", "mtr", ...).
std::string result_file_name(const RunOptions& options, std::string_view source, std::string_view ext);

// The instrumented C file (`kind` 'c') or its header ('h'). With a prefix
// ending in a separator, the prefix directory is created when missing.
std::string instrumented_file_name(const RunOptions& options, std::string_view source, char kind = 'c');

// The companion header of the instrumented C file that holds the text of
// the system headers: the header's name with "sys.h" for its final "h".
std::string system_text_file_name(const RunOptions& options, std::string_view source);

// The directory of the results ("." when they go to the current one).
std::string results_directory_of(const RunOptions& options, std::string_view source);
std::string build_state_file_name(const RunOptions& options, std::string_view source);
std::string cache_file_name(const RunOptions& options, std::string_view source);
std::string object_output_name(const RunOptions& options);

// Dynamic mode: each object file replaced by its instrumented build
// (a.o -> a.inst.o, a.obj -> a.inst.obj) when that file exists.
std::vector<std::string> instrumented_object_names(const std::vector<std::string>& objects);

}  // namespace qor
