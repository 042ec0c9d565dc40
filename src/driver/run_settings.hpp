// What holds for the whole run: the options that stay once a command line
// has given them (a list file's later lines keep them), and the
// environment, read once when the run starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/dialect.hpp"

namespace qor {

struct RunSettings {
    // The settings that the environment gives the run.
    static RunSettings from_environment();

    std::string program_name;
    DialectState dialect;
    std::optional<std::string> pch_use;
    std::optional<std::string> pch_create;
    std::string instrumentation_script = "instrument.tcl";
    bool file_list_mode = false;
    std::string list_file;
    bool prefix_given = false;
    bool suffix_given = false;
    bool short_names = true;
    bool batch = false;
    // -quiet or QOR_CC_QUIET: no banner, progress line or note, only
    // messages about the code and failures.
    bool quiet = false;
    bool preprocess_only = false;
    bool basic_counts = false;
    bool cpp_comments = false;
    bool macro_expansion = true;
    bool no_date = false;
    bool write_mtr = true;
    bool external_preprocessor = true;
    bool static_banner_printed = false;

    // QOR_CC_DEF is set: it names the options file, and no compiler is
    // asked for one.
    bool options_file_variable = false;
    // Without QOR_CC_NO_DEL a failed analysis removes its outputs.
    bool remove_failed_outputs = true;
    // QOR_CC_INC_WARN is set: a malformed #include is only a warning.
    bool include_syntax_warning = false;
    // QOR_NEWRES is not "old": the results take the current form.
    bool new_results = true;
    // Where the compilers' answers may be kept, in order of preference
    // ($XDG_CACHE_HOME, $HOME/.cache, then the temporary directory).
    std::vector<std::string> answer_cache_directories;

};

}  // namespace qor
