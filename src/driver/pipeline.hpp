// The analysis of one source file, from its name to its results.
#pragma once

#include <string>

#include "driver/run.hpp"
#include "foundation/diagnostics.hpp"

namespace qor {

// The names of every file written for one source file.
struct FileOutputs {
    std::string sta;
    std::string mtr;
    std::string dck;
    std::string cb;
    std::string instrumented;  // dynamic mode only
    std::string system_text;   // the instrumented copy's system-header text
};

FileOutputs file_outputs(const RunOptions& options, const std::string& source, bool dynamic_mode);

// The module name of local components: the source name from its last
// separator (kept) up to its last '.'.
std::string module_name(const std::string& source);

// The results directory handed to the hook scripts, fixed at first use.
const std::string& results_directory(Run& run, const std::string& source);

// Analyses one source file and writes its results; `date` is the date text
// its archive gives the components. Returns the errors it reported.
ErrorCounts analyze_file(Run& run, const std::string& source, const FileOutputs& outputs, const std::string& date);

}  // namespace qor
