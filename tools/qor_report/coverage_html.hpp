// The coverage report as one HTML page: totals per file, then each file's
// source line by line, coloured by coverage, with its decisions expandable
// to their branches, vectors and conditions. A file whose source cannot be
// read shows its functions and decisions alone.
#pragma once

#include <string>

#include "coverage_model.hpp"

namespace qor::report {

std::string coverage_html(const CoverageReport& report);

}  // namespace qor::report
