// Limits on the metrics of a component and the components that break
// them. The defaults are the widely used HIS set; each can be changed or
// turned off, and any metric of the report can get a limit of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "metrics_rows.hpp"

namespace qor::report {

struct Threshold {
    std::string key;     // the name it is set and reported under (vg, statements, ...)
    std::string metric;  // the column it checks
    bool at_most = true; // an upper limit; false: a lower one
    double limit = 0;
    bool enabled = true;
};

// vg <= 10, statements <= 50, paths <= 80, calls <= 7, parameters <= 5,
// nesting <= 4, returns <= 1, goto <= 0, comment_density >= 0.2.
std::vector<Threshold> default_thresholds();

// Applies one setting: "KEY=VALUE" (the key's own direction; a new key is
// an upper limit), "KEY<=VALUE", "KEY>=VALUE" or "KEY=off". KEY is a
// threshold's key or a column name. The error text, or "" when applied.
std::string apply_threshold(std::vector<Threshold>& thresholds, const std::string& setting);

// Applies the settings of a file, one a line; blank lines and '#'
// comments are skipped. Errors are reported with the file and line; false
// after one.
bool apply_threshold_file(std::vector<Threshold>& thresholds, const std::string& path);

struct Violation {
    const MetricsRow* row;
    const Threshold* threshold;
    double value;
    // "file:line: warning: name: v(G) is 12, above 10 [vg]"
    std::string message() const;
    // "v(G) is 12, above 10"
    std::string text() const;
};

// The violations of every row, in row order and then threshold order. A
// row without the value is not checked.
std::vector<Violation> find_violations(const std::vector<MetricsRow>& rows, const std::vector<Threshold>& thresholds);

}  // namespace qor::report
