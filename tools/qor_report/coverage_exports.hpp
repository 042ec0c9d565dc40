// The coverage report for other programs: JSON, an LCOV tracefile and a
// Cobertura XML report.
#pragma once

#include <string>

#include "coverage_model.hpp"

namespace qor::report {

std::string coverage_json(const CoverageReport& report);

// Functions (FN, FNDA), branches (BRDA: one block per decision, '-' when
// its function never ran), MC/DC (MCDC records of lcov 2.2 and later: a
// condition's true and false sense are taken once its independence is
// shown under masking MC/DC) and lines (DA, see coverage_lines.hpp).
std::string coverage_lcov(const CoverageReport& report);

// One class per file, its functions as methods, lines with their hits and
// the branches of the decisions on them.
std::string coverage_cobertura(const CoverageReport& report);

}  // namespace qor::report
