#include "coverage_exports.hpp"
#include "coverage_lines.hpp"

namespace qor::report {

namespace {

// An LCOV field ends at a comma or a line end: those become blanks.
std::string field(std::string text) {
    for (char& c : text)
        if (c == ',' || c == '\n' || c == '\r') c = ' ';
    return text;
}

void functions_part(std::string& out, const FileCoverage& file) {
    size_t hit = 0;
    for (const FunctionCoverage& f : file.functions) out += "FN:" + std::to_string(f.line) + "," + field(f.name) + "\n";
    for (const FunctionCoverage& f : file.functions) {
        out += "FNDA:" + std::to_string(f.entries) + "," + field(f.name) + "\n";
        hit += f.entries > 0;
    }
    out += "FNF:" + std::to_string(file.functions.size()) + "\nFNH:" + std::to_string(hit) + "\n";
}

void branches_part(std::string& out, const FileCoverage& file) {
    size_t found = 0, hit = 0;
    for (const FunctionCoverage& f : file.functions) {
        for (size_t block = 0; block < f.decisions.size(); ++block) {
            const auto& group = f.decisions[block];
            int line = f.branches[group.front()].description.line;
            for (size_t b = 0; b < group.size(); ++b) {
                const BranchCoverage& branch = f.branches[group[b]];
                out += "BRDA:" + std::to_string(line) + "," + std::to_string(block) + "," + std::to_string(b) + "," +
                       (f.entries == 0 ? "-" : std::to_string(branch.count)) + "\n";
                ++found;
                hit += branch.count > 0;
            }
        }
    }
    out += "BRF:" + std::to_string(found) + "\nBRH:" + std::to_string(hit) + "\n";
}

void mcdc_part(std::string& out, const FileCoverage& file) {
    size_t found = 0, hit = 0;
    for (const FunctionCoverage& f : file.functions) {
        for (const DecisionCoverage& decision : f.conditions) {
            const McdcDescription& d = decision.description;
            for (size_t k = 0; k < d.conditions.size(); ++k) {
                bool shown = k < decision.conditions.size() && decision.conditions[k].masking.shown;
                for (const char* sense : {"t", "f"}) {
                    out += "MCDC:" + std::to_string(d.line) + "," + std::to_string(d.conditions.size()) + "," + sense +
                           "," + (shown ? "1" : "0") + "," + std::to_string(k) + "," + field(d.conditions[k]) + "\n";
                    ++found;
                    hit += shown;
                }
            }
        }
    }
    if (found > 0) out += "MCF:" + std::to_string(found) + "\nMCH:" + std::to_string(hit) + "\n";
}

void lines_part(std::string& out, const FileCoverage& file) {
    size_t hit = 0;
    auto lines = line_coverage(file);
    for (const auto& [line, coverage] : lines) {
        out += "DA:" + std::to_string(line) + "," + std::to_string(coverage.hits) + "\n";
        hit += coverage.hits > 0;
    }
    out += "LF:" + std::to_string(lines.size()) + "\nLH:" + std::to_string(hit) + "\n";
}

}  // namespace

std::string coverage_lcov(const CoverageReport& report) {
    std::string out;
    for (const FileCoverage& file : report.files) {
        out += "TN:\nSF:" + report_path(file) + "\n";
        functions_part(out, file);
        branches_part(out, file);
        mcdc_part(out, file);
        lines_part(out, file);
        out += "end_of_record\n";
    }
    return out;
}

}  // namespace qor::report
