#include "coverage_lines.hpp"

#include <algorithm>

namespace qor::report {

namespace {

void hit(std::map<int, LineCoverage>& lines, int line, Count count) {
    if (line <= 0) return;
    LineCoverage& entry = lines[line];
    entry.hits = std::max(entry.hits, count);
}

// The count of each line of the line map: the largest of its sums.
void mapped_hits(std::map<int, LineCoverage>& lines, const FunctionCoverage& function) {
    std::map<int, Count> counts{{kExits, function.exits}, {1, function.entries}};
    for (const BranchCoverage& branch : function.branches) counts[branch.description.number] = branch.count;
    for (const MappedLine& mapped : function.line_sums) {
        lines[mapped.line];
        for (const CountSum& sum : mapped.sums) {
            Count total = 0;
            for (int term : sum) total += counts[term];
            hit(lines, mapped.line, total);
        }
    }
}

}  // namespace

std::map<int, LineCoverage> line_coverage(const FunctionCoverage& function) {
    std::map<int, LineCoverage> lines;
    bool mapped = !function.line_sums.empty();
    if (mapped)
        mapped_hits(lines, function);
    else
        hit(lines, function.line, function.entries);
    for (const auto& group : function.decisions) {
        Count evaluations = 0;
        size_t taken = 0;
        for (size_t index : group) {
            const BranchCoverage& branch = function.branches[index];
            evaluations += branch.count;
            taken += branch.count > 0;
            if (!mapped) hit(lines, branch.description.line, branch.count);
        }
        int line = function.branches[group.front()].description.line;
        if (!mapped) hit(lines, line, evaluations);
        if (line > 0) {
            lines[line].branches += group.size();
            lines[line].branches_taken += taken;
        }
    }
    return lines;
}

std::map<int, LineCoverage> line_coverage(const FileCoverage& file) {
    std::map<int, LineCoverage> lines;
    for (const FunctionCoverage& function : file.functions) {
        for (const auto& [line, coverage] : line_coverage(function)) {
            LineCoverage& entry = lines[line];
            entry.hits = std::max(entry.hits, coverage.hits);
            entry.branches += coverage.branches;
            entry.branches_taken += coverage.branches_taken;
        }
    }
    return lines;
}

std::string report_path(const FileCoverage& file) { return file.source.value_or(file.name); }

}  // namespace qor::report
