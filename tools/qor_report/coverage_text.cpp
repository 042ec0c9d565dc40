#include "coverage_text.hpp"

#include <algorithm>
#include <vector>

namespace qor::report {

namespace {

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

void runs_section(std::string& out, const CoverageReport& report) {
    out += "Runs: " + std::to_string(report.runs.size()) + "\n";
    for (const Run& run : report.runs) {
        out += "  run " + std::to_string(run.number) + ": " + run.data_file;
        if (run.added > 0)
            out += (run.label.empty() ? "" : ", label " + escape_data_text(run.label)) + ", " + std::to_string(run.added) +
                   " run(s) added up";
        else
            out += ":" + std::to_string(run.line) + ", process " + std::to_string(run.pid);
        out += ", " + std::to_string(run.headers.size()) + " unit(s)\n";
    }
    for (const std::string& note : report.notes) out += "Note: " + note + "\n";
}

std::string taken_text(const BranchCoverage& branch) {
    if (branch.count > 0) return " (runs " + runs_text(branch.runs) + ")";
    return branch.justification ? "  JUSTIFIED " + justification_ref(*branch.justification) : "  NOT TAKEN";
}

void branch_lines(std::string& out, const FunctionCoverage& function) {
    for (const auto& group : function.decisions) {
        bool first = true;
        for (size_t index : group) {
            const BranchCoverage& branch = function.branches[index];
            const BranchDescription& d = branch.description;
            out += std::string(first ? "    decision " : "             ") + padded("line " + std::to_string(d.line), 10) +
                   padded(d.kind, 13) + "branch " + padded(std::to_string(d.number), 4) + padded(d.text, 30) +
                   " taken " + std::to_string(branch.count) + taken_text(branch) + "\n";
            first = false;
        }
    }
}

void condition_lines(std::string& out, const DecisionCoverage& decision) {
    const McdcDescription& d = decision.description;
    out += "    conditions of line " + std::to_string(d.line) +
           (d.branch > 0 ? ", branch " + std::to_string(d.branch) : std::string()) + ": " + d.expression + "\n";
    for (size_t k = 0; k < d.conditions.size(); ++k)
        out += "      c" + std::to_string(k + 1) + " " + d.conditions[k] + "\n";
    if (decision.observed.empty()) out += "      vectors: none evaluated\n";
    for (const ObservedVector& o : decision.observed)
        out += "      vector " + o.vector + " -> " + padded(outcome_text(o.outcome), 6) + std::to_string(o.count) +
               " time(s) (runs " + runs_text(o.runs) + ")\n";
    if (decision.lost > 0) out += "      " + std::to_string(decision.lost) + " evaluation(s) whose vector was not kept\n";
    auto result = [&](const Independence& independence) {
        std::string text = independence_text(decision, independence);
        if (!independence.shown && decision.justification)
            text += ", justified " + justification_ref(*decision.justification);
        return text;
    };
    for (size_t k = 0; k < decision.conditions.size(); ++k) {
        const ConditionIndependence& c = decision.conditions[k];
        out += "      c" + std::to_string(k + 1) + " unique-cause: " + result(c.unique_cause) +
               "; masking: " + result(c.masking) + "\n";
    }
}

void function_lines(std::string& out, const FunctionCoverage& function) {
    out += "  function " + function.name + " (line " + std::to_string(function.line) + "): entered " +
           std::to_string(function.entries) + ", exited " + std::to_string(function.exits);
    out += function.entries > 0 ? " (runs " + runs_text(function.runs) + ")" : "  NOT ENTERED";
    if (function.calls > 0)
        out += ", calls executed " + std::to_string(function.calls_executed) + "/" + std::to_string(function.calls);
    out += "\n";
    branch_lines(out, function);
    for (const DecisionCoverage& decision : function.conditions) condition_lines(out, decision);
}

// Each justification with its reason, and each item it matched with what
// the runs did with it.
void justifications_section(std::string& out, const CoverageReport& report) {
    out += "\nJustifications: " + std::to_string(report.justifications.size()) + "\n";
    for (size_t index = 0; index < report.justifications.size(); ++index) {
        const Justification& j = report.justifications[index];
        out += "  " + justification_ref(index) + " " + j.origin + ":" + std::to_string(j.origin_line) + ", " +
               scope_text(j) + ": " + criteria_text(j.criteria) + ": " + j.reason + "\n";
        if (j.items.empty()) out += "      matches nothing (stale)\n";
        for (const JustifiedItem& item : j.items)
            out += "      " + item.file + (item.function.empty() ? "" : ", " + item.function) + ": " + item_text(item) +
                   ": " + status_text(item) + "\n";
    }
}

// "covered/total (p%)", or with justifications "covered/total covered,
// J justified, M missed (p%)" with p of the items not justified.
std::string share_text(size_t covered, size_t justified, size_t total, bool justifying) {
    std::string out = std::to_string(covered) + "/" + std::to_string(total);
    if (justifying)
        out += " covered, " + std::to_string(justified) + " justified, " +
               std::to_string(total - covered - justified) + " missed";
    return out + " (" + percent_text(covered, to_cover(total, justified)) + ")";
}

}  // namespace

std::string justification_ref(size_t index) { return "[" + std::to_string(index + 1) + "]"; }

std::string runs_text(const RunSet& runs) {
    constexpr size_t kShown = 6;  // more runs are counted, not listed
    if (runs.empty()) return "none";
    // Consecutive runs as ranges: "1-3, 7".
    std::vector<std::pair<int, int>> ranges;
    for (int run : runs) {
        if (!ranges.empty() && ranges.back().second + 1 == run)
            ranges.back().second = run;
        else
            ranges.emplace_back(run, run);
    }
    std::string out;
    for (size_t i = 0; i < ranges.size() && i < kShown; ++i) {
        auto [first, last] = ranges[i];
        out += (out.empty() ? "" : ", ") + std::to_string(first) + (last > first ? "-" + std::to_string(last) : "");
    }
    if (ranges.size() > kShown) out += ", ... " + std::to_string(ranges.back().second) + ": " + std::to_string(runs.size()) + " runs";
    return out;
}

std::string outcome_text(bool outcome) { return outcome ? "true" : "false"; }

std::string independence_text(const DecisionCoverage& decision, const Independence& result) {
    auto vector = [&](int index) {
        const ObservedVector& o = decision.observed[static_cast<size_t>(index)];
        return o.vector + "=" + (o.outcome ? "T" : "F");
    };
    if (result.shown) return "shown by " + vector(result.first) + " / " + vector(result.second);
    return "not shown (" + result.reason + ")";
}

std::string totals_text(const CoverageTotals& t, bool justifying) {
    std::string out = "functions " + share_text(t.functions_entered, 0, t.functions, false);
    if (justifying) out += ", lines " + share_text(t.lines_run, t.lines_justified, t.lines, true);
    out += ", branches " + share_text(t.branches_taken, t.branches_justified, t.branches, justifying);
    if (t.conditions > 0)
        out += ", MC/DC unique-cause " +
               share_text(t.unique_cause, t.unique_cause_justified, t.conditions, justifying) + ", masking " +
               share_text(t.masking, t.masking_justified, t.conditions, justifying);
    return out;
}

std::string coverage_text(const CoverageReport& report) {
    std::string out;
    runs_section(out, report);
    for (const FileCoverage& file : report.files) {
        out += "\nfile " + file.name + " (" + file.archive + ")\n";
        for (const FunctionCoverage& function : file.functions) function_lines(out, function);
        out += "  total " + file.name + ": " + totals_text(file.totals(), report.justifying()) + "\n";
    }
    if (report.justifying()) justifications_section(out, report);
    out += "\ntotal: " + totals_text(report.totals(), report.justifying()) + "\n";
    out += kMcdcScope + std::string("\n");
    return report.justifying() ? out + kJustifiedShare + "\n" : out;
}

}  // namespace qor::report
