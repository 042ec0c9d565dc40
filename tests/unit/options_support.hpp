// The option state of one command line without a run around it: the parts
// that the run and the command line own, given to the driver as its view.
#pragma once

#include "driver/run_options.hpp"

namespace qor::test {

struct OwnedOptions {
    RunSettings settings;
    CommandLineOptions said;
    BuildOutputs outputs;

    operator RunOptions() { return {settings, said, outputs}; }
};

}  // namespace qor::test
