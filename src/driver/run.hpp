// The state of one run of the program, shared by its command lines.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "analysis/run_analysis.hpp"
#include "driver/early_compile.hpp"
#include "driver/run_options.hpp"
#include "frontend/ignore_file.hpp"
#include "scripting/dependency_record.hpp"
#include "scripting/hook_interpreter.hpp"

namespace qor {

struct Run {
    RunOptions options;
    DependencyRecord dependencies;
    RunAnalysis analysis;
    // The hook interpreter of a static run; created at most once.
    std::unique_ptr<HookInterpreter> hooks;
    // The words of the macro-name file; absent when there is no such file.
    std::optional<std::unordered_set<std::string>> macro_names;
    std::optional<std::string> macro_name_path;
    // The dialect's ignore file, when one was found.
    std::optional<std::string> ignore_file;
    // Its rules; absent when there is no file or it is malformed.
    std::optional<IgnoreRules> ignore_rules;
    // Dynamic mode as latched for the rest of the run.
    bool dynamic_mode = false;
    bool options_file_announced = false;
    bool build_state_marker_created = false;
    // The outputs that a failure of the file under analysis removes; none
    // between files, or with QOR_CC_NO_DEL.
    std::vector<std::string> outputs_in_analysis;
    // The sources of the command line in progress whose preprocessing
    // reported a problem.
    std::vector<std::string> preprocessing_problems;
    // The options file of the command line in progress asked of its
    // compiler (the GNU dialects), once asked; none when the command gave
    // no compiler's answer.
    bool compiler_asked = false;
    std::optional<std::string> compiler_options_file;
    // Computed at its first use and kept for the process.
    std::optional<std::string> results_directory;
    // The compile step of the command line in progress, when it was started
    // with the analysis.
    std::unique_ptr<EarlyCompile> early_compile;
    int exit_status = 0;
};

}  // namespace qor
