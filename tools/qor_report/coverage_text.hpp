// The coverage report as text: the runs, then per file and function the
// entries and exits, every branch of every decision, and every decision
// with condition coverage with its vectors and the independence of each
// condition; totals per file and overall.
#pragma once

#include <string>

#include "coverage_model.hpp"

namespace qor::report {

std::string coverage_text(const CoverageReport& report);

// "1, 3", "1-4, 9", "1, 4, 7, 10, 13, 16, ... 301: 101 runs", or "none".
std::string runs_text(const RunSet& runs);
// An outcome as "true" or "false".
std::string outcome_text(bool outcome);
// The pair of a shown condition ("11- / 100") or why none shows it.
std::string independence_text(const DecisionCoverage& decision, const Independence& result);
// "functions 1/2 (50.0%), branches ..." for a set of totals; with
// `justifying`, lines too, and each kind's justified and missed items.
std::string totals_text(const CoverageTotals& totals, bool justifying = false);
// "[2]": how the text and the pages refer to a justification by its index.
std::string justification_ref(size_t index);

}  // namespace qor::report
