#include "justify.hpp"

#include <map>
#include <tuple>

#include "coverage_lines.hpp"
#include "foundation/diagnostics.hpp"
#include "input_files.hpp"

namespace qor::report {

namespace {

using Kind = JustifiedItem::Kind;

bool names_file(const Justification& j, const FileCoverage& file) {
    return j.marker ? j.file == file.name : excluded(file.name, {j.file});
}

bool on_lines(const Justification& j, int line) { return line >= j.first && line <= j.last; }

// The function whose lines hold `line` (the functions are in line order).
const FunctionCoverage* function_at(const FileCoverage& file, int line) {
    const FunctionCoverage* found = nullptr;
    for (const FunctionCoverage& function : file.functions)
        if (function.line <= line) found = &function;
    return found;
}

void match_lines(size_t index, Justification& j, FileCoverage& file) {
    for (const auto& [number, line] : line_coverage(file)) {
        if (!on_lines(j, number)) continue;
        const FunctionCoverage* function = function_at(file, number);
        std::string name = function ? function->name : "";
        if (j.function != "*" && j.function != name) continue;
        j.items.push_back({Kind::Line, file.name, name, number, 0, 0, "", line.hits > 0});
        file.justified_lines.try_emplace(number, index);
    }
}

void match_branches(size_t index, Justification& j, const std::string& file, FunctionCoverage& function) {
    for (const std::vector<size_t>& group : function.decisions) {
        if (!on_lines(j, function.branches[group.front()].description.line)) continue;
        for (size_t b : group) {
            BranchCoverage& branch = function.branches[b];
            const BranchDescription& d = branch.description;
            int line = function.branches[group.front()].description.line;
            j.items.push_back({Kind::Branch, file, function.name, d.line, d.number, line, d.kind, branch.count > 0});
            if (!branch.justification) branch.justification = index;
        }
    }
}

void match_conditions(size_t index, Justification& j, const std::string& file, FunctionCoverage& function) {
    for (DecisionCoverage& decision : function.conditions) {
        const McdcDescription& d = decision.description;
        if (!on_lines(j, d.line)) continue;
        for (size_t k = 0; k < d.conditions.size(); ++k) {
            bool unique_cause = k < decision.conditions.size() && decision.conditions[k].unique_cause.shown;
            bool masking = k < decision.conditions.size() && decision.conditions[k].masking.shown;
            j.items.push_back({Kind::Condition, file, function.name, d.line, static_cast<int>(k + 1), d.line,
                               d.conditions[k], unique_cause && masking, unique_cause, masking});
        }
        if (!decision.justification) decision.justification = index;
    }
}

// "a, b, c and 2 more".
std::string listed(const std::vector<std::string>& texts) {
    constexpr size_t kShown = 3;
    std::string out;
    for (size_t i = 0; i < texts.size() && i < kShown; ++i) out += (i ? ", " : "") + texts[i];
    if (texts.size() > kShown) out += " and " + std::to_string(texts.size() - kShown) + " more";
    return out;
}

// What the justification names that the runs covered, as it can be named:
// a line, or a decision's branches or conditions, which its line names
// all together.
std::vector<std::string> needless_texts(const Justification& j) {
    std::vector<std::string> out;
    std::map<std::tuple<std::string, std::string, Kind, int>, bool> decisions;  // all of its items covered
    for (const JustifiedItem& item : j.items) {
        if (item.kind == Kind::Line) {
            if (item.needless()) out.push_back(item_text(item));
            continue;
        }
        auto [entry, added] = decisions.try_emplace({item.file, item.function, item.kind, item.decision_line}, true);
        entry->second = entry->second && item.needless();
    }
    for (const auto& [key, needless] : decisions) {
        if (!needless) continue;
        Kind kind = std::get<2>(key);
        out.push_back(std::string(kind == Kind::Branch ? "the branches" : "the conditions") +
                      " of the decision on line " + std::to_string(std::get<3>(key)));
    }
    return out;
}

// Messages say no colon after the position, which would end their text.
void warn(const Justification& j) {
    if (j.items.empty()) {
        report_at(MSG_WARNING, j.origin, j.origin_line,
                  "stale justification, nothing to justify for '" + criteria_text(j.criteria) + "' on " +
                      scope_text(j));
        return;
    }
    std::vector<std::string> needless = needless_texts(j);
    if (!needless.empty())
        report_at(MSG_WARNING, j.origin, j.origin_line,
                  "the justification justifies what was covered (" + listed(needless) + "); it counts as covered");
}

}  // namespace

void apply_justifications(CoverageReport& report, std::vector<Justification> justifications) {
    for (size_t index = 0; index < justifications.size(); ++index) {
        Justification& j = justifications[index];
        for (FileCoverage& file : report.files) {
            if (!names_file(j, file)) continue;
            if (j.criteria & kJustifyLines) match_lines(index, j, file);
            for (FunctionCoverage& function : file.functions) {
                if (j.function != "*" && j.function != function.name) continue;
                if (j.criteria & kJustifyBranches) match_branches(index, j, file.name, function);
                if (j.criteria & kJustifyConditions) match_conditions(index, j, file.name, function);
            }
        }
        warn(j);
    }
    report.justifications = std::move(justifications);
}

void justify(CoverageReport& report, const std::vector<std::string>& justification_files) {
    std::vector<Justification> all;
    for (const FileCoverage& file : report.files) {
        if (!file.source) continue;
        std::optional<std::string> text = read_text(*file.source);
        if (!text) continue;
        for (Justification& j : read_markers(*text, *file.source, file.name)) all.push_back(std::move(j));
    }
    for (const std::string& path : justification_files) {
        std::optional<std::string> text = read_text(path);
        if (!text) continue;
        for (Justification& j : read_justification_file(*text, path)) all.push_back(std::move(j));
    }
    apply_justifications(report, std::move(all));
}

}  // namespace qor::report
