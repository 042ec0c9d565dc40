// What holds for the whole run: the options that stay once a command line
// has given them (a list file's later lines keep them).
#pragma once

#include <optional>
#include <string>

#include "driver/dialect.hpp"

namespace qor {

struct RunSettings {
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

};

}  // namespace qor
