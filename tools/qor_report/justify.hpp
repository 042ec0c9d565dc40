// Justifications applied to a coverage report: the markers of its sources
// and the entries of justification files matched to its lines, branches
// and conditions.
#pragma once

#include <string>
#include <vector>

#include "coverage_model.hpp"

namespace qor::report {

// Reads the markers of each readable source of the report, then the
// justification files, and applies them all.
void justify(CoverageReport& report, const std::vector<std::string>& justification_files);

// Matches each justification to the report's items: the lines (those that
// line_coverage gives; a line belongs to the function that starts last at
// or before it), the branches of the decisions that start on its lines,
// the conditions of the decisions on its lines. Marks what it justifies
// (an item that several name keeps the first), records what it matched,
// and warns about one that matches nothing and about the covered items it
// names, which count as covered.
void apply_justifications(CoverageReport& report, std::vector<Justification> justifications);

}  // namespace qor::report
