#include <gtest/gtest.h>

#include <cstdlib>

#include "analysis/component.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using test::ExitCalled;

// One file's analysis.
struct FileRun {
    explicit FileRun(bool new_results = true) {
        model = std::make_unique<AnalysisModel>("V3.0", "ARCHIVE", "LANG/C", "CURRENT_VERSION", new_results);
        context = std::make_unique<ComponentContext>(*model, metrics);
        context->current_file = &file;
        context->on_component = [this](const std::string& name, int) { hooked.push_back(name); };
    }

    // f, lines 10 to 14, after a comment counted both inside and outside:
    // two returns and none at the end, g called three times (twice as an
    // operator), operands a a x, two ifs, a for, a continue, nesting 3.
    void measure_sample(double path_count = 2) {
        totals()[Total::BCOB] = 5;
        totals()[Total::BCOM] = 1;
        component_begin(*context, "f", 10, 10);
        totals()[Total::BCOM] += 1;
        for (int line : {11, 12, 12}) model->call_add("g", line, line == 12, graph());
        for (const char* operand : {"a", "a", "x"}) model->count_occurrence(OOPN, operand);
        for (int counter : {ct_if, ct_if, ct_for, ct_continue}) context->counts->ct.ct_add(counter, 1);
        totals()[Total::LEVL] = 3;
        totals()[Total::RETU] += 2;
        totals()[Total::N_OUT] += 2 + 1;  // the returns, and the grammar's 1 for the end
        component_end(*context, 14, path_count);
    }
    const std::vector<Metric>& stored(const std::string& component = "f") const {
        return metrics.find(component)->metrics;
    }

    std::string file = "a.c";
    std::unique_ptr<AnalysisModel> model;
    ObjectIdentities identities;
    MetricCollector metrics{identities};
    std::unique_ptr<ComponentContext> context;
    ControlGraphBuilder& graph() { return context->graph; }
    ComponentTotals& totals() { return context->totals(); }
    std::vector<std::string> hooked;
};

TEST(Component, StoresTheMetricsInOrder) {
    FileRun run;
    run.measure_sample();
    std::string listed;
    for (const Metric& m : run.stored()) listed += m.name + "=" + std::to_string(static_cast<int>(m.value)) + " ";
    EXPECT_EQ(listed,
              "STMT=0 CALL_PATHS=1 CALL=0 VG=1 LEVL=3 GOTO=0 N_OUT=3 RETU=2 PARA=0 LVAR=0 UPRO=0 MACP=0 MACC=0 "
              "N1=2 n1=1 N2=3 n2=2 BCOM=2 LCOM=0 CCOM=0 BCOB=4 LCOB=0 CCOB=0 PATH=2 COND_STRUCT=0 lc_line=5 "
              "ct_andthen=0 ct_orelse=0 ct_ternary=0 ct_switch=0 ct_case=0 ct_for=1 ct_while=0 ct_dowhile=0 ct_if=2 "
              "ct_casepath=0 ct_break_inloop=0 ct_continue=1 ct_break_inswitch=0 ct_bran=1 ct_decis=2 ct_nest=2 "
              "ct_loop=1 lc_parse=0 ");
    const ModuleRecord& f = *run.model->modules().front();
    EXPECT_EQ(f.counters[COMM - 1], 2);
    EXPECT_EQ(f.counters[CALT - 1], 3);
    EXPECT_EQ(f.counters[CALD - 1], 1);

    FileRun unknown_paths;
    unknown_paths.measure_sample(-1);
    EXPECT_EQ(unknown_paths.stored().size(), 43u);
    EXPECT_EQ(unknown_paths.metrics.find("f")->find("PATH"), nullptr);
}

TEST(Component, EndClearsCommentsAndBeginStartsFreshTotals) {
    FileRun run;
    run.measure_sample();
    for (Total total : {Total::BCOM, Total::LCOM, Total::CCOM, Total::BCOB, Total::LCOB, Total::CCOB})
        EXPECT_EQ(run.totals()[total], 0) << total_name(total);
    run.totals()[Total::GOTO] = 7;
    run.totals()[Total::CCOB] = 9;
    component_begin(*run.context, "g", 20, 20);
    EXPECT_EQ(run.context->counts->ct.ct_get(ct_if), 0);
    EXPECT_EQ(run.totals()[Total::GOTO], 0);
    EXPECT_EQ(run.totals()[Total::LEVL], 1);
    EXPECT_EQ(run.totals()[Total::CCOB], 9);
    component_end(*run.context, 20, 1);
    EXPECT_EQ(run.stored("g")[25].value, 1);  // lc_line

    // With no component open, the end still clears them, and the counts
    // of a component are gone with it.
    EXPECT_FALSE(run.context->counts);
    run.totals()[Total::CCOB] = 4;
    component_end(*run.context, 6, 1);
    EXPECT_EQ(run.totals()[Total::CCOB], 0);
}

TEST(Component, SecondDefinitionIsReportedAndNotMeasured) {
    FileRun run;
    run.measure_sample();
    int warnings = diagnostics().warning_count();
    testing::internal::CaptureStderr();
    component_begin(*run.context, "f", 20, 21);
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(run.context->open());
    component_end(*run.context, 25, 1);

    EXPECT_EQ(diagnostics().warning_count(), warnings + 1);
    EXPECT_NE(messages.find("a.c(21): Warning: "), std::string::npos);
    EXPECT_NE(messages.find("Component f already analysed"), std::string::npos);
    EXPECT_EQ(run.hooked, (std::vector<std::string>{"f", "f"}));
    EXPECT_EQ(run.model->modules().size(), 1u);
    EXPECT_EQ(run.metrics.entries().size(), 1u);
    EXPECT_EQ(run.model->open_count(), 0u);
}

TEST(Component, GraphAndCallSitesOnlyInNewResultsMode) {
    FileRun newer(true);
    newer.measure_sample();
    const ModuleRecord& record = *newer.model->modules().front();
    ASSERT_GE(record.controls.size(), 2u);
    EXPECT_EQ(record.controls.front()->kind, NodeKind::DEBU);
    EXPECT_EQ(record.controls.back()->kind, NodeKind::FIN);
    EXPECT_EQ(record.controls.back()->line, 14);
    ASSERT_EQ(record.calls.front().sites.size(), 3u);
    for (const CallSite& site : record.calls.front().sites) EXPECT_EQ(site.node, record.controls.back().get());

    FileRun older(false);
    older.measure_sample();
    EXPECT_TRUE(older.model->modules().front()->controls.empty());
    EXPECT_TRUE(older.model->modules().front()->calls.front().sites.empty());
    for (size_t i = 0; i < newer.stored().size(); ++i)
        EXPECT_EQ(newer.stored()[i].value, older.stored().at(i).value) << newer.stored()[i].name;
}

TEST(Metrics, DropsNegativeValuesAndEndsTheRunBeyondTheLimit) {
    diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; });
    ObjectIdentities identities;
    MetricCollector metrics(identities);
    metrics.metric_component("f", "a.c", 1);
    metrics.metric_component("g", "b.c", 5);
    metrics.metric_component("f", "a.c", 3);
    EXPECT_EQ(metrics.current()->first_line, 3);
    // An entry takes its identity before the file it names first.
    EXPECT_EQ(metrics.find("f")->identity, 1);
    EXPECT_EQ(metrics.files().at(0).identity, 2);
    EXPECT_EQ(metrics.find("g")->identity, 3);
    EXPECT_EQ(metrics.files().at(1).path, "b.c");
    EXPECT_EQ(metrics.files().at(1).identity, 4);
    metrics.metric_set("A", -0.5);
    for (size_t i = 0; i < MetricCollector::kMetricLimit; ++i) metrics.metric_set("A", 0);
    testing::internal::CaptureStderr();
    EXPECT_THROW(metrics.metric_set("LAST", 1), ExitCalled);
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("Too many metric definitions (64).\n Metric \"LAST\" ignored."), std::string::npos);
    diagnostics().set_exit_handler(nullptr);
}

}  // namespace
}  // namespace qor
