// The basic-counts report: for every component, a table of its counts and
// the operators, operands and functions it uses with their numbers of
// occurrences, for people to read.
#pragma once

#include <string>

#include "analysis/model.hpp"

namespace qor {

// Writes the report of every component of the model to `path` (a name
// whose variables are already expanded). A file that cannot be written is
// reported as an error and the old file stays as it was.
void write_basic_counts(const std::string& path, const AnalysisModel& model);

}  // namespace qor
