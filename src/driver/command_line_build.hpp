// One command line of the run, from its parse to the end of its build:
// what it says, what its build collects and what the build keeps while it
// lasts. While it exists it is the run's command line in progress.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "driver/early_compile.hpp"
#include "driver/run_options.hpp"
#include "frontend/ignore_file.hpp"
#include "scripting/dependency_record.hpp"

namespace qor {

struct Run;

class CommandLineBuild {
public:
    // `said` is what the command line starts from: nothing, or what an
    // earlier parse left (see run_file_list).
    explicit CommandLineBuild(Run& run, CommandLineOptions said = {});
    ~CommandLineBuild();
    CommandLineBuild(const CommandLineBuild&) = delete;
    CommandLineBuild& operator=(const CommandLineBuild&) = delete;

    CommandLineOptions said;
    BuildOutputs outputs;
    RunOptions options;
    DependencyRecord dependencies;
    // The words of the macro-name file; absent when there is no such file.
    std::optional<std::unordered_set<std::string>> macro_names;
    std::optional<std::string> macro_name_path;
    // The dialect's ignore file, when one was found.
    std::optional<std::string> ignore_file;
    // Its rules; absent when there is no file or it is malformed.
    std::optional<IgnoreRules> ignore_rules;
    // The sources whose preprocessing reported a problem.
    std::vector<std::string> preprocessing_problems;
    // The options file asked of the compiler (the GNU dialects), once
    // asked; none when the command gave no compiler's answer.
    bool compiler_asked = false;
    std::optional<std::string> compiler_options_file;
    // The compile step, when it was started with the analysis.
    std::unique_ptr<EarlyCompile> early_compile;

private:
    Run& run_;
    CommandLineBuild* enclosing_;
};

}  // namespace qor
