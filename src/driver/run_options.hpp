// The options a command line runs with: the run's settings, what the
// command line says and what its build collects, each owned by what it
// lives as long as.
#pragma once

#include <string>

#include "driver/command_line_options.hpp"
#include "driver/run_settings.hpp"

namespace qor {

struct RunOptions {
    RunSettings& settings;
    CommandLineOptions& said;
    BuildOutputs& outputs;

    // One word for the real compiler; "-Yu<h>" and "-Yc<h>" name the
    // precompiled header to use or create instead.
    void add_compiler_option(const std::string& text) const;
};

}  // namespace qor
