#include "coverage_html.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "coverage_lines.hpp"
#include "coverage_text.hpp"
#include "foundation/text.hpp"
#include "html_page.hpp"
#include "input_files.hpp"
#include "justification_html.hpp"

namespace qor::report {

namespace {

constexpr std::string_view kStyle =
    "table.source{border:none;font-family:ui-monospace,monospace;font-size:0.85em;width:100%}"
    "table.source td{border:none;padding:0 6px;white-space:pre;vertical-align:top}"
    "table.source td.n,table.source td.h{text-align:right;color:#777;width:1%}"
    "tr.detail>td{white-space:normal;background:#f6f6f6;padding:6px 12px}"
    "button.decision{font:inherit;font-size:0.8em;margin-right:4px;cursor:pointer}"
    ".detail table{margin:4px 0}.shown{color:#1a7f37}.missing{color:#b42318}";

constexpr std::string_view kIndexStyle =
    "tr.directory td{font-weight:bold}"
    ".bar{display:inline-block;width:60px;height:0.7em;background:#f8d7da;vertical-align:middle}"
    ".bar>span{display:block;height:100%;background:#3fa34d}";

// A decision's button shows or hides the row of its details.
constexpr std::string_view kScript = R"JS(
document.querySelectorAll('button.decision').forEach(function (button) {
  button.addEventListener('click', function () {
    var detail = document.getElementById(button.dataset.target);
    detail.hidden = !detail.hidden;
    button.setAttribute('aria-expanded', String(!detail.hidden));
  });
});
)JS";

std::string esc(std::string_view text) { return html_escaped(text); }

// What one source line carries: the decisions that start on it and the
// decisions with condition coverage that have no branch of their own.
struct LineDecisions {
    std::vector<std::pair<const FunctionCoverage*, size_t>> groups;
    std::vector<const DecisionCoverage*> expressions;
};

std::string branches_table(const FunctionCoverage& function, const std::vector<size_t>& group) {
    std::string out = "<table><tr><th>branch</th><th>kind</th><th>line</th><th>text</th><th>taken</th><th>runs</th></tr>";
    for (size_t index : group) {
        const BranchCoverage& b = function.branches[index];
        out += std::string("<tr class=\"") + (b.count > 0 ? "ok" : "bad") + "\"><td>" +
               std::to_string(b.description.number) + "</td><td>" + esc(b.description.kind) + "</td><td>" +
               std::to_string(b.description.line) + "</td><td><code>" + esc(b.description.text) + "</code></td><td>" +
               std::to_string(b.count) + "</td><td>" + esc(runs_text(b.runs)) + "</td></tr>";
    }
    return out + "</table>";
}

// What a pair result says, naming its evaluations by their rows of the
// truth table (numbered from 1).
std::string pair_text(const DecisionCoverage& decision, const Independence& result) {
    if (result.first < 0) return independence_text(decision, result);
    return "rows " + std::to_string(result.first + 1) + " and " + std::to_string(result.second + 1) + ": " +
           independence_text(decision, result);
}

// The conditions that a row's evaluation helps show under a criterion.
std::string shown_with(const DecisionCoverage& decision, int row, Independence ConditionIndependence::*criterion) {
    std::string out;
    for (size_t k = 0; k < decision.conditions.size(); ++k) {
        const Independence& result = decision.conditions[k].*criterion;
        if (result.shown && (result.first == row || result.second == row))
            out += (out.empty() ? "c" : " c") + std::to_string(k + 1);
    }
    return out;
}

// The truth table as reviewers read it: one numbered row per executed
// vector with its values, outcome, count and runs, and the conditions
// whose pair it is part of; then each condition with the rows of its pair
// under each criterion, or why no pair shows it.
std::string conditions_block(const DecisionCoverage& decision) {
    const McdcDescription& d = decision.description;
    std::string out = "<p>Conditions of <code>" + esc(d.expression) + "</code> (line " + std::to_string(d.line) + ")</p>";
    out += "<table><tr><th>row</th><th>vector</th>";
    for (size_t k = 0; k < d.conditions.size(); ++k) out += "<th>c" + std::to_string(k + 1) + "</th>";
    out += "<th>outcome</th><th>count</th><th>runs</th><th>pairs unique-cause</th><th>pairs masking</th></tr>";
    for (size_t row = 0; row < decision.observed.size(); ++row) {
        const ObservedVector& o = decision.observed[row];
        out += "<tr><td>" + std::to_string(row + 1) + "</td><td><code>" + esc(o.vector) + "</code></td>";
        for (char c : o.vector) out += std::string("<td>") + (c == '1' ? "T" : c == '0' ? "F" : "&ndash;") + "</td>";
        int index = static_cast<int>(row);
        out += "<td>" + outcome_text(o.outcome) + "</td><td>" + std::to_string(o.count) + "</td><td>" +
               esc(runs_text(o.runs)) + "</td><td>" + shown_with(decision, index, &ConditionIndependence::unique_cause) +
               "</td><td>" + shown_with(decision, index, &ConditionIndependence::masking) + "</td></tr>";
    }
    if (decision.observed.empty()) out += "<tr><td colspan=\"99\">never evaluated</td></tr>";
    out += "</table>";
    if (decision.lost > 0) out += "<p>" + std::to_string(decision.lost) + " evaluation(s) whose vector was not kept</p>";
    out += "<table><tr><th>condition</th><th>text</th><th>unique-cause</th><th>masking</th></tr>";
    for (size_t k = 0; k < decision.conditions.size() && k < d.conditions.size(); ++k) {
        const ConditionIndependence& c = decision.conditions[k];
        auto cell = [&](const Independence& result) {
            return std::string("<td class=\"") + (result.shown ? "shown" : "missing") + "\">" +
                   esc(pair_text(decision, result)) + "</td>";
        };
        out += "<tr><td>c" + std::to_string(k + 1) + "</td><td><code>" + esc(d.conditions[k]) + "</code></td>" +
               cell(c.unique_cause) + cell(c.masking) + "</tr>";
    }
    return out + "</table>";
}

// The decisions with condition coverage whose true branch is in the group.
std::vector<const DecisionCoverage*> conditions_of(const FunctionCoverage& function, const std::vector<size_t>& group) {
    std::vector<const DecisionCoverage*> out;
    for (const DecisionCoverage& decision : function.conditions)
        for (size_t index : group)
            if (decision.description.branch == function.branches[index].description.number) out.push_back(&decision);
    return out;
}

// How a decision's button shows what its runs did: all covered, the rest
// justified, or something missed.
struct DecisionState {
    bool covered = true;
    bool justified = true;  // every item not covered is justified
    void add(bool item_covered, bool item_justified) {
        covered = covered && item_covered;
        justified = justified && (item_covered || item_justified);
    }
    void add(const DecisionCoverage& decision) {
        for (const ConditionIndependence& c : decision.conditions)
            add(c.masking.shown, decision.justification.has_value());
    }
    const char* css() const { return covered ? "ok" : justified ? "just" : "bad"; }
};

class PageWriter {
public:
    explicit PageWriter(const std::vector<Justification>& justifications) : justifications_(justifications) {}

    // One file's page; `index_link` leads back to the index.
    std::string file_page(const FileCoverage& file, size_t index, const std::string& index_link) {
        anchor_ = "file-" + std::to_string(index);
        bool justifying = !justifications_.empty();
        std::string body = "<p><a href=\"" + esc(index_link) + "\">All files</a></p>\n<h1>" + esc(file.name) +
                           "</h1>\n<p>" + esc(totals_text(file.totals(), justifying)) + "</p>\n";
        std::optional<std::string> text;
        if (file.source) text = read_text(*file.source);
        body += text ? source_table(file, *text) : function_list(file);
        if (!justifying) return html_document(file.name, kStyle, body, kScript);
        auto in_file = [&](const JustifiedItem& item) { return item.file == file.name; };
        auto about_file = [&](const Justification& j) {
            return (j.marker && j.file == file.name) || std::any_of(j.items.begin(), j.items.end(), in_file);
        };
        body += justifications_table(justifications_, about_file, in_file);
        return html_document(file.name, std::string(kStyle) + std::string(kJustifiedStyle), body, kScript);
    }

private:
    std::string detail(const std::string& label, const std::string& content, const char* css) {
        std::string id = "d-" + std::to_string(next_id_++);
        pending_ += "<tr class=\"detail\" id=\"" + id + "\" hidden><td colspan=\"3\">" + content + "</td></tr>\n";
        return std::string("<button class=\"decision ") + css + "\" data-target=\"" + id +
               "\" aria-expanded=\"false\">" + esc(label) + "</button>";
    }

    // The justifications of a decision's branches and conditions, each once.
    std::string notes(const std::vector<std::optional<size_t>>& indexes) {
        std::string out;
        std::set<size_t> seen;
        for (const std::optional<size_t>& index : indexes)
            if (index && seen.insert(*index).second) out += justification_note(justifications_, *index);
        return out;
    }

    std::string group_content(const FunctionCoverage& function, const std::vector<size_t>& group, DecisionState& state) {
        std::string content = "<p>Decision in <code>" + esc(function.name) + "</code></p>" + branches_table(function, group);
        std::vector<std::optional<size_t>> justified;
        for (size_t index : group) {
            const BranchCoverage& branch = function.branches[index];
            state.add(branch.count > 0, branch.justification.has_value());
            justified.push_back(branch.justification);
        }
        for (const DecisionCoverage* decision : conditions_of(function, group)) {
            content += conditions_block(*decision);
            state.add(*decision);
            justified.push_back(decision->justification);
        }
        return content + notes(justified);
    }

    static void add_decisions(std::map<int, LineDecisions>& out, const FunctionCoverage& function) {
        for (size_t g = 0; g < function.decisions.size(); ++g)
            out[function.branches[function.decisions[g].front()].description.line].groups.push_back({&function, g});
        for (const DecisionCoverage& decision : function.conditions)
            if (decision.description.branch == 0) out[decision.description.line].expressions.push_back(&decision);
    }

    std::string buttons(const LineDecisions& line) {
        std::string out;
        for (const auto& [function, g] : line.groups) {
            DecisionState state;
            std::string content = group_content(*function, function->decisions[g], state);
            out += detail("decision", content, state.css());
        }
        for (const DecisionCoverage* decision : line.expressions) {
            DecisionState state;
            state.add(*decision);
            out += detail("conditions", conditions_block(*decision) + notes({decision->justification}), state.css());
        }
        return out;
    }

    // The links to the justifications of each line's items.
    std::map<int, std::string> justification_links(const FileCoverage& file) const {
        std::map<int, std::string> out;
        for (size_t index = 0; index < justifications_.size(); ++index) {
            std::set<int> lines;
            for (const JustifiedItem& item : justifications_[index].items)
                if (item.file == file.name) lines.insert(item.line);
            for (int line : lines) out[line] += justification_link(justifications_, index);
        }
        return out;
    }

    std::string source_table(const FileCoverage& file, const std::string& text) {
        auto lines = line_coverage(file);
        std::map<int, std::string> links = justification_links(file);
        std::map<int, LineDecisions> decisions;
        for (const FunctionCoverage& function : file.functions) add_decisions(decisions, function);
        std::string out = "<table class=\"source\">\n";
        size_t pos = 0;
        for (int number = 1; pos < text.size(); ++number) {
            size_t end = std::min(text.find('\n', pos), text.size());
            std::string code = text.substr(pos, end - pos);
            pos = end + 1;
            std::string css, hits;
            if (auto found = lines.find(number); found != lines.end()) {
                const LineCoverage& line = found->second;
                css = line.hits == 0 ? (file.justified_lines.count(number) ? "just" : "bad")
                      : line.branches_taken < line.branches ? "part" : "ok";
                hits = std::to_string(line.hits);
            }
            std::string marks;
            if (auto found = links.find(number); found != links.end()) marks = found->second;
            if (auto found = decisions.find(number); found != decisions.end()) marks += buttons(found->second);
            out += "<tr" + (css.empty() ? std::string() : " class=\"" + css + "\"") + " id=\"" + anchor_ + "-" +
                   std::to_string(number) + "\"><td class=\"n\">" + std::to_string(number) + "</td><td class=\"h\">" +
                   hits + "</td><td>" + marks + esc(code) + "</td></tr>\n";
            out += pending_;
            pending_.clear();
        }
        return out + "</table>\n";
    }

    // Without the source: each function with its decisions.
    std::string function_list(const FileCoverage& file) {
        std::string out = "<p>The source is not readable here; its functions:</p>\n<table class=\"source\">\n";
        for (const FunctionCoverage& function : file.functions) {
            std::map<int, LineDecisions> decisions;
            add_decisions(decisions, function);
            std::string marks;
            for (const auto& entry : decisions) marks += buttons(entry.second);
            out += std::string("<tr class=\"") + (function.entries > 0 ? "ok" : "bad") + "\"><td class=\"n\">" +
                   std::to_string(function.line) + "</td><td class=\"h\">" + std::to_string(function.entries) +
                   "</td><td>" + marks + esc(function.name) + "</td></tr>\n" + pending_;
            pending_.clear();
        }
        return out + "</table>\n";
    }

    const std::vector<Justification>& justifications_;
    std::string anchor_;
    std::string pending_;  // the detail rows that follow the current line
    int next_id_ = 0;
};

// A file's name as part of its page's name: its last component, bytes
// other than letters, digits, '.', '-' and '_' turned into '_'.
std::string page_name(const std::string& name) {
    std::string out(last_component(name));
    for (char& c : out)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') c = '_';
    return out;
}

// A row of the index: a file with its page, or a directory with the sums
// of its files.
struct IndexRow {
    std::string name;
    std::string link;  // "" for a directory
    CoverageTotals totals;

    void add(const FileCoverage& file) { totals.add(file.totals()); }
};

// "part/whole (p%)" with a bar, sortable by the percentage; "-" when
// there is nothing to count. With justifications, the bar shows the
// justified part too, the text their number, and the percentage is of
// the items not justified.
std::string ratio_cell(size_t part, size_t whole, size_t justified, bool justifying) {
    if (whole == 0) return "<td class=\"num\" data-value=\"\">&ndash;</td>";
    size_t counted = to_cover(whole, justified);
    std::string css = part == counted ? "ok" : part == 0 ? "bad" : "part";
    auto span = [&](const char* attributes, size_t n) {
        return std::string("<span") + attributes + " style=\"width:" + std::to_string(100 * n / whole) + "%\"></span>";
    };
    std::string bar = justifying
                          ? "<span class=\"bar split\">" + span("", part) + span(" class=\"j\"", justified) + "</span>"
                          : "<span class=\"bar\">" + span("", part) + "</span>";
    std::string value = counted == 0 ? "" : std::to_string(double(part) / double(counted));
    return "<td class=\"num " + css + "\" data-value=\"" + value + "\">" + bar + " " + std::to_string(part) + "/" +
           std::to_string(whole) + (justifying ? ", " + std::to_string(justified) + " justified" : "") + " (" +
           percent_text(part, counted) + ")</td>";
}

std::string index_row(const IndexRow& row, bool justifying) {
    std::string name = row.link.empty() ? esc(row.name) : "<a href=\"" + esc(row.link) + "\">" + esc(row.name) + "</a>";
    const CoverageTotals& t = row.totals;
    return std::string("<tr") + (row.link.empty() ? " class=\"directory\"" : "") + "><td data-value=\"" +
           esc(row.name) + "\">" + name + "</td>" + ratio_cell(t.functions_entered, t.functions, 0, false) +
           ratio_cell(t.lines_run, t.lines, t.lines_justified, justifying) +
           ratio_cell(t.branches_taken, t.branches, t.branches_justified, justifying) +
           ratio_cell(t.unique_cause, t.conditions, t.unique_cause_justified, justifying) +
           ratio_cell(t.masking, t.conditions, t.masking_justified, justifying) + "</tr>\n";
}

std::string index_page(const CoverageReport& report, const std::vector<std::string>& paths) {
    std::map<std::string, IndexRow> rows;  // by name: a directory before its files
    for (size_t f = 0; f < report.files.size(); ++f) {
        const FileCoverage& file = report.files[f];
        IndexRow& row = rows[file.name];
        row.name = file.name;
        row.link = paths[f];
        row.add(file);
        if (std::string directory(directory_part(file.name)); !directory.empty()) {
            IndexRow& parent = rows[directory];
            parent.name = directory;
            parent.add(file);
        }
    }
    bool justifying = report.justifying();
    std::string body = "<h1>Coverage</h1>\n<p>" + std::to_string(report.runs.size()) + " run(s); total: " +
                       esc(totals_text(report.totals(), justifying)) + "</p>\n<p>" + esc(kMcdcScope) + "</p>\n";
    if (justifying) body += "<p>" + esc(kJustifiedShare) + "</p>\n";
    for (const std::string& note : report.notes) body += "<p class=\"note\">Note: " + esc(note) + "</p>\n";
    body += "<p>Click a column's header to sort by it.</p>\n<table class=\"sortable\" id=\"files\">\n<thead><tr>"
            "<th data-type=\"text\">file</th><th data-type=\"number\">functions</th>"
            "<th data-type=\"number\">lines</th><th data-type=\"number\">branches</th>"
            "<th data-type=\"number\">MC/DC unique-cause</th><th data-type=\"number\">MC/DC masking</th>"
            "</tr></thead>\n<tbody>\n";
    for (const auto& [name, row] : rows) body += index_row(row, justifying);
    body += "</tbody>\n</table>\n";
    std::string style = std::string(kSortableStyle) + std::string(kIndexStyle);
    if (!justifying) return html_document("Coverage", style, body, kSortableScript);
    body += justifications_table(report.justifications, [](const Justification&) { return true; }, nullptr);
    return html_document("Coverage", style + std::string(kJustifiedStyle), body, kSortableScript);
}

}  // namespace

std::vector<HtmlPage> coverage_html(const CoverageReport& report, const std::string& index_name) {
    std::string stem = index_name.ends_with(".html") ? index_name.substr(0, index_name.size() - 5) : index_name;
    std::string directory = stem + "_files";
    std::vector<std::string> paths;
    for (size_t f = 0; f < report.files.size(); ++f)
        paths.push_back(directory + "/" + std::to_string(f) + "-" + page_name(report.files[f].name) + ".html");
    std::vector<HtmlPage> pages{{index_name, index_page(report, paths)}};
    for (size_t f = 0; f < report.files.size(); ++f)
        pages.push_back({paths[f], PageWriter(report.justifications).file_page(report.files[f], f, "../" + index_name)});
    return pages;
}

}  // namespace qor::report
