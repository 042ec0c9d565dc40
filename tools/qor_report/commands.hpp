// The two reports and the data listing as commands: each reads its
// inputs, prints and writes what the options ask for, and gives the exit
// status.
#pragma once

#include <string>

#include "options.hpp"

namespace qor::report {

// 0 done, 1 after errors, 3 when a quality limit was not met.
constexpr int kLimitNotMet = 3;

int run_metrics(const Options& options);
int run_coverage(const Options& options);
int run_data(const Options& options);

}  // namespace qor::report
