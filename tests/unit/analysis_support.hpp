// Analyses C text as the pipeline does (built-in preprocessor, lexer,
// parser) and gives access to the model, the metrics and the graphs.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/measuring_events.hpp"
#include "analysis/run_analysis.hpp"
#include "foundation/dialect.hpp"
#include "frontend/parse_actions.hpp"
#include "frontend/parser.hpp"
#include "test_support.hpp"

namespace qor::test {

// The lexer of the file `name` wired as the pipeline wires it: the events
// go to `client`, type names come from the parser's scopes.
inline LexerSetup lexer_setup(const DialectState& dialect, Preprocessor& preprocessor, LexerClient& client,
                              ParseActions& actions, const std::string& name) {
    LexerSetup setup;
    setup.dialect = &dialect;
    setup.preprocessor = &preprocessor;
    setup.client = &client;
    setup.type_names = &actions.scopes();
    setup.main_source = name;
    return setup;
}

class Analysis {
public:
    explicit Analysis(const char* dialect = "ANSI", bool new_results = true)
        : model_("V3.0", "ARCHIVE", "LANG/C", "CURRENT_VERSION", new_results) {
        select_dialect(dialect_, dialect);
    }
    // Ignore rules applied to the texts analysed from now on.
    Analysis& ignore(const IgnoreRules* rules) {
        ignore_ = rules;
        return *this;
    }

    // Analyses `text` as the file a.c; returns what standard error received.
    std::string run(const std::string& text, const std::string& name = "a.c") {
        write_file(name, text);
        Preprocessor preprocessor(dialect_);
        // The graphs' nodes point at the file names it keeps.
        MeasuringEvents& measure = *measures_.emplace_back(std::make_unique<MeasuringEvents>(model_, metrics_));
        measure.components().on_component = [this](const std::string& component, int line) {
            hooks.push_back(component + ":" + std::to_string(line));
        };
        ParseActions actions(measure, dialect_, preprocessor);
        LexerSetup setup = lexer_setup(dialect_, preprocessor, measure, actions, name);
        setup.ignore = ignore_;
        Lexer lexer(setup);
        actions.set_lexer(&lexer);
        measure.set_lexer(&lexer);
        testing::internal::CaptureStderr();
        if (preprocessor.start_file(name)) {
            parse(actions, measure);
            while (!lexer.at_end()) lexer.next_token();
        }
        return testing::internal::GetCapturedStderr();
    }

    // The metric of a component; -1 when it was not stored.
    double metric(const std::string& component, const std::string& name) const {
        const MetricEntry* entry = metrics_.find(component);
        if (!entry) return -1;
        const Metric* metric = entry->find(name);
        return metric ? metric->value : -1;
    }
    // Every metric stored for a component, in order; null without one.
    const MetricEntry* metrics(const std::string& component) const { return metrics_.find(component); }
    const ModuleRecord* module(const std::string& name) const {
        for (const auto& record : model_.modules())
            if (record->name == name) return record.get();
        return nullptr;
    }
    std::string graph(const std::string& name) {
        const ModuleRecord* record = module(name);
        return record ? control_graph_text(const_cast<ControlList&>(record->controls)) : "";
    }
    std::vector<std::string> descriptions(const std::string& name) const {
        const ModuleRecord* record = module(name);
        return record ? record->descriptions.lines : std::vector<std::string>{};
    }
    // "text:count" of every operator (what 5) or operand (3) used by the component.
    std::map<std::string, int> usage(const std::string& name, int what) const {
        std::map<std::string, int> found;
        const auto& dico = what == 5 ? model_.operators() : model_.operands();
        for (const auto& [text, uses] : dico)
            for (const UsageEntry& use : uses)
                if (use.module_name() == name) found[text] += use.count;
        return found;
    }

    std::vector<std::string> hooks;

private:
    DialectState dialect_;
    const IgnoreRules* ignore_ = nullptr;
    RunAnalysis analysis_;
    AnalysisModel model_;
    MetricCollector metrics_{analysis_.identities};
    std::vector<std::unique_ptr<MeasuringEvents>> measures_;
};

}  // namespace qor::test
