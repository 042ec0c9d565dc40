// Whole-file reading for the small input files (definitions, macro names).
#pragma once

#include <optional>
#include <string>

namespace full_prepro {

// The content of `path`; nothing when it cannot be opened or read (a
// directory included).
std::optional<std::string> read_text_file(const std::string& path);

}  // namespace full_prepro
