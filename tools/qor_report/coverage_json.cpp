#include "coverage_exports.hpp"
#include "json_writer.hpp"

namespace qor::report {

namespace {

void runs_array(JsonWriter& json, const RunSet& runs) {
    json.begin_array("runs");
    for (int run : runs) json.integer("", run);
    json.end_array();
}

void size(JsonWriter& json, std::string_view key, size_t value) { json.integer(key, static_cast<std::int64_t>(value)); }

// With justifications, the lines and each kind's justified items too.
void totals_object(JsonWriter& json, const CoverageTotals& t, bool justifying) {
    json.begin_object("totals");
    size(json, "functions", t.functions);
    size(json, "functions_entered", t.functions_entered);
    if (justifying) {
        size(json, "lines", t.lines);
        size(json, "lines_run", t.lines_run);
        size(json, "lines_justified", t.lines_justified);
    }
    size(json, "branches", t.branches);
    size(json, "branches_taken", t.branches_taken);
    if (justifying) size(json, "branches_justified", t.branches_justified);
    size(json, "mcdc_decisions", t.decisions);
    size(json, "conditions", t.conditions);
    size(json, "unique_cause_shown", t.unique_cause);
    size(json, "masking_shown", t.masking);
    if (justifying) {
        size(json, "unique_cause_justified", t.unique_cause_justified);
        size(json, "masking_justified", t.masking_justified);
    }
    json.end_object();
}

// A justification's number, as the text report gives it.
void justification_key(JsonWriter& json, const std::optional<size_t>& index) {
    if (index) size(json, "justification", *index + 1);
}

void matched_item(JsonWriter& json, const JustifiedItem& item) {
    static constexpr const char* kKinds[] = {"line", "branch", "condition"};
    auto status = [](bool covered) { return covered ? "covered" : "justified"; };
    json.begin_object();
    json.text("file", item.file);
    json.text("function", item.function);
    json.text("item", kKinds[static_cast<int>(item.kind)]);
    json.integer("line", item.line);
    if (item.kind == JustifiedItem::Kind::Branch) {
        json.integer("branch", item.number);
        json.text("kind", item.text);
    } else if (item.kind == JustifiedItem::Kind::Condition) {
        json.integer("condition", item.number);
        json.text("text", item.text);
        json.text("unique_cause", status(item.unique_cause));
        json.text("masking", status(item.masking));
    }
    if (item.kind != JustifiedItem::Kind::Condition) json.text("status", status(item.covered));
    json.end_object();
}

void justifications_array(JsonWriter& json, const std::vector<Justification>& justifications) {
    json.begin_array("justifications");
    for (size_t index = 0; index < justifications.size(); ++index) {
        const Justification& j = justifications[index];
        json.begin_object();
        size(json, "number", index + 1);
        json.text("written_in", j.origin);
        json.integer("written_at", j.origin_line);
        json.text("from", j.marker ? "marker" : "file");
        json.text("file", j.file);
        json.text("function", j.function);
        json.text("item", lines_text(j));
        json.text("criterion", criteria_text(j.criteria));
        json.text("reason", j.reason);
        json.begin_array("matched");
        for (const JustifiedItem& item : j.items) matched_item(json, item);
        json.end_array();
        json.end_object();
    }
    json.end_array();
}

void independence_object(JsonWriter& json, const char* key, const DecisionCoverage& decision,
                         const Independence& result) {
    json.begin_object(key);
    json.boolean("shown", result.shown);
    if (result.first >= 0) {
        json.begin_array(result.shown ? "pair" : "closest_pair");
        for (int index : {result.first, result.second}) json.text("", decision.observed[static_cast<size_t>(index)].vector);
        json.end_array();
    }
    if (!result.shown) json.text("reason", result.reason);
    json.end_object();
}

void decision_object(JsonWriter& json, const DecisionCoverage& decision) {
    const McdcDescription& d = decision.description;
    json.begin_object();
    json.integer("decision", d.decision);
    json.integer("line", d.line);
    json.integer("branch", d.branch);
    json.text("expression", d.expression);
    justification_key(json, decision.justification);
    json.begin_array("vectors");
    for (const ObservedVector& o : decision.observed) {
        json.begin_object();
        json.text("vector", o.vector);
        json.boolean("outcome", o.outcome);
        json.count("count", o.count);
        runs_array(json, o.runs);
        json.end_object();
    }
    json.end_array();
    json.count("not_kept", decision.lost);
    json.begin_array("conditions");
    for (size_t k = 0; k < d.conditions.size(); ++k) {
        json.begin_object();
        json.text("text", d.conditions[k]);
        if (k < decision.conditions.size()) {
            independence_object(json, "unique_cause", decision, decision.conditions[k].unique_cause);
            independence_object(json, "masking", decision, decision.conditions[k].masking);
        }
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void function_object(JsonWriter& json, const FunctionCoverage& function) {
    json.begin_object();
    json.text("name", function.name);
    json.integer("line", function.line);
    json.count("entries", function.entries);
    json.count("exits", function.exits);
    runs_array(json, function.runs);
    json.integer("calls", static_cast<std::int64_t>(function.calls));
    json.integer("calls_executed", static_cast<std::int64_t>(function.calls_executed));
    json.begin_array("decisions");
    for (const auto& group : function.decisions) {
        json.begin_array();
        for (size_t index : group) {
            const BranchCoverage& branch = function.branches[index];
            json.begin_object();
            json.integer("branch", branch.description.number);
            json.text("kind", branch.description.kind);
            json.integer("line", branch.description.line);
            json.text("text", branch.description.text);
            json.count("count", branch.count);
            runs_array(json, branch.runs);
            justification_key(json, branch.justification);
            json.end_object();
        }
        json.end_array();
    }
    json.end_array();
    json.begin_array("conditions");
    for (const DecisionCoverage& decision : function.conditions) decision_object(json, decision);
    json.end_array();
    json.end_object();
}

}  // namespace

std::string coverage_json(const CoverageReport& report) {
    JsonWriter json;
    json.begin_object();
    json.begin_array("runs");
    for (const Run& run : report.runs) {
        json.begin_object();
        json.integer("run", run.number);
        json.text("data_file", run.data_file);
        if (run.added > 0) {
            json.text("label", run.label);
            json.integer("runs_added", static_cast<std::int64_t>(run.added));
        } else {
            json.integer("line", run.line);
            json.integer("pid", run.pid);
        }
        json.begin_array("headers");
        for (const std::string& header : run.headers) json.text({}, header);
        json.end_array();
        json.end_object();
    }
    json.end_array();
    json.begin_array("notes");
    for (const std::string& note : report.notes) json.text({}, note);
    json.end_array();
    json.begin_array("files");
    for (const FileCoverage& file : report.files) {
        json.begin_object();
        json.text("name", file.name);
        json.text("archive", file.archive);
        if (file.source) json.text("source", *file.source);
        totals_object(json, file.totals(), report.justifying());
        json.begin_array("functions");
        for (const FunctionCoverage& function : file.functions) function_object(json, function);
        json.end_array();
        json.end_object();
    }
    json.end_array();
    if (report.justifying()) justifications_array(json, report.justifications);
    totals_object(json, report.totals(), report.justifying());
    json.text("mcdc_scope", kMcdcScope);
    if (report.justifying()) json.text("justified_share", kJustifiedShare);
    json.end_object();
    return json.finish();
}

}  // namespace qor::report
