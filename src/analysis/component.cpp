#include "analysis/component.hpp"

#include <algorithm>
#include <climits>

#include "foundation/diagnostics.hpp"

namespace qor {

namespace {

// A component's totals start from the comments just before it, which
// are taken back from the comments outside.
ComponentTotals first_totals(const ComponentTotals& outside, int first_line) {
    ComponentTotals totals;
    totals[Total::VG] = 1;
    totals[Total::LEVL] = 1;
    totals[Total::BCOM] = outside[Total::BCOM];
    totals[Total::LCOM] = outside[Total::LCOM];
    totals[Total::CCOM] = outside[Total::CCOM];
    totals[Total::BCOB] = outside[Total::BCOB] - outside[Total::BCOM];
    totals[Total::LCOB] = outside[Total::LCOB] - outside[Total::LCOM];
    totals[Total::CCOB] = outside[Total::CCOB] - outside[Total::CCOM];
    totals[Total::lc_line] = first_line;
    return totals;
}

// The component's 26 metrics, in the order the results file lists them.
void store_metrics(ComponentContext& context, double path_count) {
    const AnalysisModel& model = context.model;
    const ComponentTotals& totals = context.counts->totals;
    MetricCollector& metrics = context.metrics;
    auto put_counter = [&](std::string_view name, int counter) {
        metrics.metric_set(name, model.counter_get(counter));
    };
    auto put_total = [&](Total total) { metrics.metric_set(total_name(total), totals[total]); };

    put_counter("STMT", INST);
    metrics.metric_set("CALL_PATHS", static_cast<double>(model.distinct_callees()));
    for (Total total : {Total::CALL, Total::VG, Total::LEVL, Total::GOTO, Total::N_OUT, Total::RETU, Total::PARA,
                        Total::LVAR, Total::UPRO, Total::MACP, Total::MACC})
        put_total(total);
    put_counter("N1", OOPT);
    put_counter("n1", OPET);
    put_counter("N2", OOPN);
    put_counter("n2", OPEN);
    for (Total total : {Total::BCOM, Total::LCOM, Total::CCOM, Total::BCOB, Total::LCOB, Total::CCOB})
        put_total(total);
    metrics.metric_set("PATH", path_count);
    put_total(Total::COND_STRUCT);
    put_total(Total::lc_line);
}

void derive_ct_counters(CtCounters& ct, const ComponentTotals& totals) {
    ct.ct_set(ct_nest, totals[Total::LEVL] - 1);
    ct.ct_set(ct_bran, ct.ct_get(ct_break_inloop) + ct.ct_get(ct_continue) + totals[Total::GOTO]);
    ct.ct_set(ct_loop, ct.ct_get(ct_dowhile) + ct.ct_get(ct_while) + ct.ct_get(ct_for));
    ct.ct_set(ct_decis, ct.ct_get(ct_if) + ct.ct_get(ct_switch));
}

void close_component(ComponentContext& context, int last_line, double path_count) {
    AnalysisModel& model = context.model;
    ComponentTotals& totals = context.counts->totals;

    // The graph exists only in new-results mode; the builder does not know the mode.
    if (model.new_results())
        context.graph.control_add(model.current_module().controls, NodeKind::FIN, context.current_file, last_line);
    model.counter_add(COMM, static_cast<uint16_t>(totals[Total::BCOM]));
    model.calls_to_operators();
    // #line numbers reach the largest int, so the span is worked out wide
    // and kept within an int.
    long long span = static_cast<long long>(last_line) - totals[Total::lc_line] + 1;
    totals[Total::lc_line] = static_cast<int>(std::clamp<long long>(span, INT_MIN, INT_MAX));
    store_metrics(context, path_count);
    derive_ct_counters(context.counts->ct, totals);
    ct_publish(context.counts->ct, context.metrics);
    context.counts.reset();
    model.module_end();
}

}  // namespace

void ct_publish(const CtCounters& ct, MetricCollector& metrics) {
    for (int counter = ct_andthen; counter <= lc_parse; ++counter)
        metrics.metric_set(ct_name(counter), ct.ct_get(counter));
}

void component_begin(ComponentContext& context, const std::string& name, int first_line, int current_line) {
    if (!context.current_file) fatal_error("Attempt to handle null pointer.");
    AnalysisModel& model = context.model;

    if (context.on_component) context.on_component(name, first_line);
    if (model.module_find(name)) {
        // Only the first definition of a name is measured.
        model.module_end();
        context.counts.reset();
        report_at(MSG_WARNING, *context.current_file, current_line, "Component " + name + " already analysed");
        return;
    }
    context.counts.emplace().totals = first_totals(context.outside, first_line);
    model.module_begin(name, kComponentKind, 0, 1, context.current_file, first_line, context.graph);
    context.metrics.metric_component(name, *context.current_file, first_line);
}

void component_end(ComponentContext& context, int last_line, double path_count) {
    if (context.open()) close_component(context, last_line, path_count);
    context.outside = ComponentTotals{};
}

}  // namespace qor
