// The files a report reads and writes: names on the command line expanded
// (a directory stands for the files of the wanted kinds in it), texts read
// whole, outputs written whole, and the source files that the results name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::report {

// The files named by `names`: a file as it is, a directory as its files
// whose names end in one of `extensions` (not its subdirectories), sorted.
// A name that is neither is reported as an error and skipped. A file
// reached again (by another path, through a directory or a link) is kept
// once, at its first place, and a note says so.
struct InputFiles {
    std::vector<std::string> paths;
    std::vector<std::string> notes;
};
InputFiles expand_inputs(const std::vector<std::string>& names, const std::vector<std::string>& extensions);

bool has_extension(std::string_view path, std::string_view extension);

// The whole text of a file; an error is reported when it cannot be read.
std::optional<std::string> read_text(const std::string& path);

// Writes the text whole (a regular file through a temporary file beside
// it, renamed at the end, so that a failed write leaves no half file);
// false after an error was reported.
bool write_text(const std::string& path, std::string_view text);

// Writes a report to its file, or to standard output without one.
void emit(const std::optional<std::string>& file, const std::string& text);

// Whether a source name matches one of the shell patterns (fnmatch, where
// '*' also matches '/').
bool excluded(const std::string& name, const std::vector<std::string>& patterns);

// The existing file that a source name of a results file or archive names:
// the name itself when it is absolute or exists from the current
// directory, else the name under the directory of `results_file`, else
// under each of `source_dirs`. nullopt when none exists.
std::optional<std::string> find_source(const std::string& name, const std::string& results_file,
                                       const std::vector<std::string>& source_dirs);

}  // namespace qor::report
