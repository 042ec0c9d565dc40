// The metrics report as one HTML page: a table sortable by any column,
// the broken thresholds marked, and charts of how v(G) and the statement
// counts spread over the components.
#pragma once

#include <string>
#include <vector>

#include "metrics_rows.hpp"
#include "thresholds.hpp"

namespace qor::report {

std::string metrics_html(const std::vector<MetricsRow>& rows, const std::vector<Threshold>& thresholds,
                         const std::vector<Violation>& violations);

// An SVG bar chart of how many values fall into each of the bins, whose
// upper bounds are `bounds` (the last bin takes the rest); `limit` marks
// the bin that the threshold ends, 0 for none.
std::string histogram_svg(const std::string& title, const std::vector<double>& values,
                          const std::vector<double>& bounds, double limit);

}  // namespace qor::report
