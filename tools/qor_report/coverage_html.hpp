// The coverage report as HTML pages: an index with one sortable row per
// directory and per file (functions, lines, branches and both MC/DC
// criteria, each with a bar), and one page per file with its source line
// by line, coloured by coverage, its decisions expandable to their
// branches and truth tables. A file whose source cannot be read shows its
// functions and decisions alone. The pages link both ways and load nothing
// from elsewhere.
#pragma once

#include <string>
#include <vector>

#include "coverage_model.hpp"

namespace qor::report {

struct HtmlPage {
    std::string path;  // relative to the index's directory
    std::string text;
};

// The index first, named `index_name`; the files' pages in the directory
// "<index_name without .html>_files".
std::vector<HtmlPage> coverage_html(const CoverageReport& report, const std::string& index_name);

}  // namespace qor::report
