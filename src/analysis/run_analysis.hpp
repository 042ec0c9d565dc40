// The analysis state that lives for the whole run: the control-graph
// builder, the decision counter, the per-component totals and ct_
// counters, and the context the component actions work in.
#pragma once

#include <string>
#include <unordered_set>

#include "analysis/component.hpp"
#include "analysis/object_identities.hpp"

namespace qor {

struct RunAnalysis {
    ControlGraphBuilder graph;
    DecisionLog decisions;
    ComponentTotals totals;
    CtCounters ct;
    // Points at the members above; the model and metrics of the file being
    // analysed are set for each file.
    ComponentContext context;
    // The names of the files of the file being analysed, one string each:
    // control nodes point at them and compare them by identity. Emptied
    // when the file's results are written.
    std::unordered_set<std::string> file_names;
    // Names the objects of every results file of the run.
    ObjectIdentities identities;
    // The MC/DC decision records written in the run: the next one's
    // number is this count + 1.
    int mcdc_records = 0;

    RunAnalysis() {
        context.graph = &graph;
        context.decisions = &decisions;
        context.totals = &totals;
        context.ct = &ct;
    }
    RunAnalysis(const RunAnalysis&) = delete;
    RunAnalysis& operator=(const RunAnalysis&) = delete;
};

}  // namespace qor
