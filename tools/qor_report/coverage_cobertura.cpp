#include <cstdio>
#include <ctime>

#include "coverage_exports.hpp"
#include "coverage_lines.hpp"
#include "html_page.hpp"

namespace qor::report {

namespace {

std::string rate(size_t part, size_t whole) {
    char text[16];
    std::snprintf(text, sizeof text, "%.4f", whole == 0 ? 1.0 : static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

struct LineTotals {
    size_t lines = 0, lines_hit = 0, branches = 0, branches_taken = 0;
    void add(const LineCoverage& line) {
        ++lines;
        lines_hit += line.hits > 0;
        branches += line.branches;
        branches_taken += line.branches_taken;
    }
};

LineTotals totals_of(const std::map<int, LineCoverage>& lines) {
    LineTotals totals;
    for (const auto& entry : lines) totals.add(entry.second);
    return totals;
}

std::string rates(const LineTotals& t) {
    return "line-rate=\"" + rate(t.lines_hit, t.lines) + "\" branch-rate=\"" + rate(t.branches_taken, t.branches) + "\"";
}

std::string line_elements(const std::map<int, LineCoverage>& lines, const std::string& indent) {
    std::string out = indent + "<lines>\n";
    for (const auto& [number, line] : lines) {
        out += indent + "  <line number=\"" + std::to_string(number) + "\" hits=\"" + std::to_string(line.hits) + "\"";
        if (line.branches > 0)
            out += " branch=\"true\" condition-coverage=\"" +
                   std::to_string(100 * line.branches_taken / line.branches) + "% (" +
                   std::to_string(line.branches_taken) + "/" + std::to_string(line.branches) + ")\"";
        else
            out += " branch=\"false\"";
        out += "/>\n";
    }
    return out + indent + "</lines>\n";
}

std::string class_element(const FileCoverage& file) {
    auto lines = line_coverage(file);
    std::string path = html_escaped(report_path(file));
    std::string out = "        <class name=\"" + path + "\" filename=\"" + path + "\" " + rates(totals_of(lines)) +
                      " complexity=\"0\">\n          <methods>\n";
    for (const FunctionCoverage& function : file.functions) {
        auto own = line_coverage(function);
        out += "            <method name=\"" + html_escaped(function.name) + "\" signature=\"\" " +
               rates(totals_of(own)) + " complexity=\"0\">\n";
        out += line_elements(own, "              ");
        out += "            </method>\n";
    }
    out += "          </methods>\n" + line_elements(lines, "          ");
    return out + "        </class>\n";
}

}  // namespace

std::string coverage_cobertura(const CoverageReport& report) {
    LineTotals all;
    for (const FileCoverage& file : report.files)
        for (const auto& entry : line_coverage(file)) all.add(entry.second);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<coverage " + rates(all) +
                      " lines-covered=\"" + std::to_string(all.lines_hit) + "\" lines-valid=\"" +
                      std::to_string(all.lines) + "\" branches-covered=\"" + std::to_string(all.branches_taken) +
                      "\" branches-valid=\"" + std::to_string(all.branches) +
                      "\" complexity=\"0\" version=\"qor_report\" timestamp=\"" +
                      std::to_string(static_cast<long long>(std::time(nullptr))) + "\">\n";
    out += "  <sources>\n    <source>.</source>\n  </sources>\n  <packages>\n";
    out += "    <package name=\"\" " + rates(all) + " complexity=\"0\">\n      <classes>\n";
    for (const FileCoverage& file : report.files) out += class_element(file);
    out += "      </classes>\n    </package>\n  </packages>\n</coverage>\n";
    return out;
}

}  // namespace qor::report
