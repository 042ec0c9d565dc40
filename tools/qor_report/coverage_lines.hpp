// Line coverage as the line-based formats (LCOV, Cobertura, the HTML
// source view) want it, derived from the probes. With the line map that
// the instrumenting run writes beside the archive, every line with code
// of a function counts as its sums of branch counts say (the largest of
// them). Without one (an archive of an older run) only the lines with a
// probe count: a function's entry counts its entries; the line of a
// decision's first branch (its condition, or its first case) counts every
// branch of the decision, since each evaluation passes there; any other
// branch's line counts that branch; lines with several probes take the
// largest count.
#pragma once

#include <map>

#include "coverage_model.hpp"

namespace qor::report {

struct LineCoverage {
    Count hits = 0;
    size_t branches = 0;        // branches of the decisions on this line
    size_t branches_taken = 0;
    bool executable = true;
};

std::map<int, LineCoverage> line_coverage(const FunctionCoverage& function);

// The lines of every function of the file, merged the same way.
std::map<int, LineCoverage> line_coverage(const FileCoverage& file);

// The path a line-based report names the file by: the source found, else
// the name as the archive gives it.
std::string report_path(const FileCoverage& file);

}  // namespace qor::report
