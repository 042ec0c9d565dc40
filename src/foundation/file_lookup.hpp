// Names with environment variables, opening files with a uniform report,
// and the search for configuration and installation files.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Replaces $NAME and $(NAME) by the environment's values. An unset variable
// is reported at `level` (0 reports nothing) and gives no name.
std::optional<std::string> expand_name(std::string_view name, int level);

// Whether a name may hold $NAME and $(NAME) references. Source names are
// literal: a '$' in them is part of the name.
enum class NameForm { WithVariables, Literal };

// The level at which a failure to open is not reported.
inline constexpr int kUnreported = 0;

// Opens the file (after expanding the name unless it is literal); failures
// are reported at `level`.
FilePtr open_file(std::string_view name, const char* mode, int level, NameForm form = NameForm::WithVariables);

// True when the (expanded) name opens for reading; nothing is reported.
bool is_readable(std::string_view name);
bool is_directory_name(std::string_view name);
// 1 for a directory, 2 for a readable file, 0 otherwise.
int path_kind(std::string_view name);

// The first readable candidate of: the explicit path, the value of the
// environment variable, the file in the current directory, $HOME/file,
// and <expanded directory expression>/file.
std::optional<std::string> find_config_file(const std::optional<std::string>& explicit_path,
                                            const char* env_var, std::string_view file_name,
                                            bool use_current_dir, bool use_home,
                                            const char* dir_expression);

// A readable file of the installation's util/ directory, beside the
// executable's directory.
std::optional<std::string> find_in_installation(std::string_view file_name);

// The directory of the running executable.
std::string executable_directory();

// Creates the missing directories on the way to `path`; true when a file
// can be created there. An existing file is never truncated or removed.
bool prepare_path(const std::string& path);

// Creates `dir` and its missing ancestors; true when it exists afterwards.
bool make_directories(const std::string& dir);

}  // namespace qor
