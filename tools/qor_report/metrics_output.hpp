// The metrics report as a text table, as CSV, as JSON and as SARIF.
#pragma once

#include <string>
#include <vector>

#include "metrics_rows.hpp"
#include "thresholds.hpp"

namespace qor::report {

// Aligned columns: file, name, line and the table's metrics, a header
// line, and a closing line with the counts.
std::string metrics_text(const std::vector<MetricsRow>& rows, size_t violations);

// file, name, line and every metric; unknown values are empty cells.
std::string metrics_csv(const std::vector<MetricsRow>& rows);

std::string metrics_json(const std::vector<MetricsRow>& rows, const std::vector<Threshold>& thresholds,
                         const std::vector<Violation>& violations);

// SARIF 2.1.0: one rule per enabled threshold, one result per violation.
std::string violations_sarif(const std::vector<Threshold>& thresholds, const std::vector<Violation>& violations);

// A CSV cell, quoted when it holds a comma, a quote or a line end.
std::string csv_cell(const std::string& text);

}  // namespace qor::report
