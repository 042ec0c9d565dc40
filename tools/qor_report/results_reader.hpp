// Reads a metrics results file (.mtr): its file and component objects,
// each component's first line and its metric values.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qor::report {

struct ComponentMetrics {
    std::string file;  // the source file that holds the component ("" when none is named)
    std::string name;
    int line = 0;      // first line (NUM_LIG)
    // Metric name and value, in the order the file lists them.
    std::vector<std::pair<std::string, double>> values;

    // The value of a metric, or `missing` when the component has none.
    double value(std::string_view metric, double missing = 0) const;
    bool has(std::string_view metric) const;
};

// The components of a results file's text, in the order it lists them.
// Throws SyntaxError for a malformed text or a reference to no object.
std::vector<ComponentMetrics> read_results(std::string_view text);

}  // namespace qor::report
