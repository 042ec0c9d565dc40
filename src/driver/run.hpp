// The state of one run of the program, shared by its command lines.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/run_analysis.hpp"
#include "driver/command_line_build.hpp"
#include "driver/run_settings.hpp"
#include "scripting/hook_interpreter.hpp"

namespace qor {

struct Run {
    explicit Run(RunSettings settings) : settings(std::move(settings)) {}

    RunSettings settings;
    RunAnalysis analysis;
    // The hook interpreter of a static run; created at most once.
    std::unique_ptr<HookInterpreter> hooks;
    // The dynamic mode of the command line in progress, or of the last one.
    bool dynamic_mode = false;
    bool options_file_announced = false;
    bool build_state_marker_created = false;
    // Computed at its first use and kept for the process.
    std::optional<std::string> results_directory;
    int exit_status = 0;

    // The command line in progress; set by the CommandLineBuild itself.
    CommandLineBuild* command_line = nullptr;
    // The outputs that a failure of the file under analysis removes, held
    // by that file's analysis while it lasts.
    const std::vector<std::string>* outputs_in_analysis = nullptr;

    CommandLineBuild& line() { return *command_line; }
    const CommandLineBuild& line() const { return *command_line; }
};

}  // namespace qor
