// The rows of the metrics report: one per component of the results files
// read, with its metric values, the derived comment density, and the
// columns that the report shows, sorts and checks.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qor::report {

struct MetricsRow {
    std::string file;     // as the results file names it
    std::string location; // the file as a path from here, for messages and editors
    std::string name;
    int line = 0;
    std::map<std::string, double> values;  // metric name -> value; absent when unknown
    // A function of a header is measured in every unit that includes it:
    // one row stands for all, with the first unit's values.
    int units = 1;
    bool measured_differently = false;  // some unit gave other values
    std::optional<double> value(const std::string& metric) const;
};

// The metric names in the order of the results file, then COMF.
const std::vector<std::string>& metric_names();
// The columns of the text table, after file, name and line.
const std::vector<std::string>& table_metrics();
// What a metric measures, for headers, warnings and rules.
std::string metric_title(const std::string& metric);

// The comment density: comment blocks in the component (BCOM) and before
// it, since the previous one (BCOB), per statement (STMT); none without
// statements.
std::optional<double> comment_density(const MetricsRow& row);

// The rows of the results files (.mtr) and archives (.sta) named; an
// archive counts only when no results file of the same name was given,
// and gives the counts it holds (statements, Halstead, comments, callees).
// Unreadable or malformed files are reported as errors and skipped. A
// component that several units measured (same file, name and line) is one
// row.
std::vector<MetricsRow> load_metrics(const std::vector<std::string>& files,
                                     const std::vector<std::string>& source_dirs);

// The column that a user's word names: a metric name (exact, else in any
// case when that is unique), file, name or line, or one of the words
// statements, paths, calls, comments, returns, gotos, parameters, nesting,
// variables, density. nullopt when none.
std::optional<std::string> column_named(const std::string& word);

// Sorts by a column: texts ascending, numbers largest first (unknown
// values last); `reverse` turns the order round. Ties keep file and line
// order.
void sort_rows(std::vector<MetricsRow>& rows, const std::string& column, bool reverse);

// A value as the report prints it: whole numbers without a fraction,
// others with two decimals; "-" when unknown.
std::string format_value(std::optional<double> value);

// The cell of a row in a column (file, name, line or a metric).
std::string cell(const MetricsRow& row, const std::string& column);

}  // namespace qor::report
