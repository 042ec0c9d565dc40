#include "coverage_exports.hpp"
#include "json_writer.hpp"

namespace qor::report {

namespace {

void runs_array(JsonWriter& json, const RunSet& runs) {
    json.begin_array("runs");
    for (int run : runs) json.integer("", run);
    json.end_array();
}

void totals_object(JsonWriter& json, const CoverageTotals& t) {
    json.begin_object("totals");
    json.integer("functions", static_cast<std::int64_t>(t.functions));
    json.integer("functions_entered", static_cast<std::int64_t>(t.functions_entered));
    json.integer("branches", static_cast<std::int64_t>(t.branches));
    json.integer("branches_taken", static_cast<std::int64_t>(t.branches_taken));
    json.integer("mcdc_decisions", static_cast<std::int64_t>(t.decisions));
    json.integer("conditions", static_cast<std::int64_t>(t.conditions));
    json.integer("unique_cause_shown", static_cast<std::int64_t>(t.unique_cause));
    json.integer("masking_shown", static_cast<std::int64_t>(t.masking));
    json.end_object();
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
        json.integer("line", run.line);
        json.integer("pid", run.pid);
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
        totals_object(json, file.totals());
        json.begin_array("functions");
        for (const FunctionCoverage& function : file.functions) function_object(json, function);
        json.end_array();
        json.end_object();
    }
    json.end_array();
    totals_object(json, report.totals());
    json.text("mcdc_scope", kMcdcScope);
    json.end_object();
    return json.finish();
}

}  // namespace qor::report
