// Opening and closing a component: the two grammar events at the start and
// the end of a function definition, which reset the totals and turn the
// counts into the component's metrics.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analysis/component_totals.hpp"
#include "analysis/control_graph.hpp"
#include "analysis/decisions.hpp"
#include "analysis/metrics.hpp"
#include "analysis/model.hpp"

namespace qor {

// What one measured component counts, from its begin to its end.
struct ComponentCounts {
    ComponentTotals totals;
    CtCounters ct;
    DecisionLog decisions;  // numbers the component's decisions
};

// What the two actions work on: the file's model and metrics, the graph
// builder, the comments outside components and the open component's
// counts. One per source file.
struct ComponentContext {
    ComponentContext(AnalysisModel& file_model, MetricCollector& file_metrics)
        : model(file_model), metrics(file_metrics) {}

    // Whether a component is open (being measured).
    bool open() const { return counts.has_value(); }
    // The open component's totals, or those outside components.
    ComponentTotals& totals() { return counts ? counts->totals : outside; }

    AnalysisModel& model;
    MetricCollector& metrics;
    // The graph builder lives as long as the file: the call sites of its
    // components point at the nodes it made.
    ControlGraphBuilder graph;
    // Outside components: the comments just before the token (BCOM, LCOM,
    // CCOM), which the next component takes as its own, and every comment
    // since the last component (BCOB, LCOB, CCOB).
    ComponentTotals outside;
    // The open component's counts; none between components and for a
    // definition that is not measured.
    std::optional<ComponentCounts> counts;
    const std::string* current_file = nullptr;  // interned name
    // Told about every definition, measured or not; empty in dynamic mode.
    std::function<void(const std::string& name, int line)> on_component;
};

// Opens the component `name`, defined from first_line. A second definition
// of a name in the file is reported (at current_line) and not measured. The
// grammar's symbol record and the "qualified" flag are the caller's.
void component_begin(ComponentContext& context, const std::string& name, int first_line, int current_line);

// Closes the open component at last_line and stores its metrics. path_count
// -1 means not computed (no PATH metric). The caller has already added 1 to
// N_OUT when the body does not end with a return. The comments outside
// start again from none whether or not a component was open.
void component_end(ComponentContext& context, int last_line, double path_count);

// Stores the 18 ct_ counters as metrics, in counter order.
void ct_publish(const CtCounters& ct, MetricCollector& metrics);

}  // namespace qor
