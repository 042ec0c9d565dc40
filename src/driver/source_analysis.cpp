#include "driver/source_analysis.hpp"

#include "analysis/archive_file.hpp"
#include "analysis/basic_counts.hpp"
#include "analysis/results_file.hpp"
#include "foundation/atomic_file.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/line_map.hpp"
#include "foundation/phase_profile.hpp"
#include "frontend/parser.hpp"
#include "platform/files.hpp"

#include <optional>

namespace qor {

namespace {

std::unique_ptr<InstrumentedFile> start_instrumented(Run& run, const std::string& source, const FileOutputs& outputs,
                                                     const std::string& date) {
    if (!run.dynamic_mode) return nullptr;
    PhaseTimer timer("instrumented file start-up");
    return std::make_unique<InstrumentedFile>(run, outputs, source, date);
}

// A results file never replaces the source it describes (a source may be
// named like its archive, e.g. with -extensions '*.sta').
bool may_write(const std::string& name, const std::string& source) {
    if (!platform::same_file(name, source)) return true;
    report_message(MSG_ERROR, name + ": is the source file; its results are not written over it.");
    return false;
}

// Beside the archive, the counts of the instrumented functions' lines.
void write_line_map(const std::string& path, const std::string& date, const std::vector<FunctionLines>& functions) {
    AtomicFile file(path, MSG_ERROR);
    if (!file) return;
    std::string text = line_map_text({date, functions});
    std::fwrite(text.data(), 1, text.size(), file.get());
    file.commit();
}

}  // namespace

SourceAnalysis::SourceAnalysis(Run& run, const std::string& source, const FileOutputs& outputs,
                               const std::string& date)
    : run_(run),
      source_(source),
      model_("V3.0", "ARCHIVE", "LANG/C", "CURRENT_VERSION", run.settings.new_results),
      metrics_(run.analysis.identities),
      preprocessor_(run.settings.dialect),
      instrumented_(start_instrumented(run, source, outputs, date)),
      measure_(model_, metrics_),
      probes_(instrumented_ ? std::make_unique<ProbingEvents>(measure_, instrumented_->emitter()) : nullptr),
      actions_(events(), run.settings.dialect, preprocessor_),
      lexer_(lexer_setup()) {
    if (!run.dynamic_mode && run.hooks)
        measure_.components().on_component = [&run](const std::string& name, int line) {
            run.hooks->on_component(name, line);
        };
    preprocessor_.set_include_syntax_warning(run.settings.include_syntax_warning);
    measure_.set_lexer(&lexer_);
    if (probes_) probes_->set_lexer(&lexer_);
    actions_.set_lexer(&lexer_);
    preprocessor_.set_include_handler([this](const std::string& path) {
        if (path != source_) run_.line().dependencies.add_input(path);
    });
}

LexerSetup SourceAnalysis::lexer_setup() {
    LexerSetup setup;
    setup.dialect = &run_.settings.dialect;
    setup.preprocessor = &preprocessor_;
    setup.client = &events();
    setup.type_names = &actions_.scopes();
    setup.on_dependency = [this](const std::string& input) { run_.line().dependencies.add_input(input); };
    setup.ignore = run_.line().ignore_rules ? &*run_.line().ignore_rules : nullptr;
    setup.macros.expansion_mode = run_.settings.macro_expansion;
    setup.macros.listed = run_.line().macro_names ? &*run_.line().macro_names : nullptr;
    setup.main_source = source_;
    return setup;
}

void SourceAnalysis::parse_text() {
    PhaseTimer timer("lexing and parsing");
    parse(actions_, events());
    while (!lexer_.at_end()) lexer_.next_token();
}

std::string SourceAnalysis::finish_instrumented(const std::string& date) {
    if (!instrumented_) return date;
    PhaseTimer timer("instrumentation script");
    return instrumented_->finish(date);
}

void SourceAnalysis::write_results(const FileOutputs& outputs, const std::string& date) {
    std::optional<ConditionDescriptions> conditions;
    if (instrumented_ && !run_.line().said.decision_only)
        conditions = ConditionDescriptions{source_, instrumented_->emitter().component_descriptions(),
                                           instrumented_->emitter().decision_descriptions()};
    PhaseTimer timer("results files");
    if (run_.settings.write_mtr && may_write(outputs.mtr, source_))
        write_results_file(outputs.mtr, metrics_, run_.analysis.identities);
    if (run_.settings.basic_counts && may_write(outputs.cb, source_)) write_basic_counts(outputs.cb, model_);
    if (may_write(outputs.sta, source_)) write_archive(outputs.sta, model_, date, conditions ? &*conditions : nullptr);
    if (std::string lines = line_map_name(outputs.sta); probes_ && may_write(lines, source_))
        write_line_map(lines, date, probes_->function_lines());
}

}  // namespace qor
