#include "driver/pipeline.hpp"

#include "analysis/archive_file.hpp"
#include "analysis/basic_counts.hpp"
#include "analysis/results_file.hpp"
#include "driver/instrumented_file.hpp"
#include "driver/options_file.hpp"
#include "driver/output_names.hpp"
#include "driver/preprocessing.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/phase_profile.hpp"
#include "frontend/lexer.hpp"
#include "frontend/parse_actions.hpp"
#include "frontend/parser.hpp"
#include "platform/files.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

// What lives for one source file only.
struct FileAnalysis {
    std::string current_file;
    std::string module_name;
};

LexerSetup lexer_setup(Run& run, Preprocessor& preprocessor, LexerClient& client, const std::string& source) {
    LexerSetup setup;
    setup.dialect = &run.settings.dialect;
    setup.preprocessor = &preprocessor;
    setup.client = &client;
    setup.ignore = run.line().ignore_rules ? &*run.line().ignore_rules : nullptr;
    setup.macros.expansion_mode = run.settings.macro_expansion;
    setup.macros.listed = run.line().macro_names ? &*run.line().macro_names : nullptr;
    setup.main_source = source;
    return setup;
}

// A results file never replaces the source it describes (a source may be
// named like its archive, e.g. with -extensions '*.sta').
bool may_write(const std::string& name, const std::string& source) {
    if (!platform::same_file(name, source)) return true;
    report_message(MSG_ERROR, name + ": is the source file; its results are not written over it.");
    return false;
}

// The results files, once the whole text is read.
void write_results(Run& run, AnalysisModel& model, const MetricCollector& metrics, const std::string& source,
                   const FileOutputs& outputs, const std::string& date, const ConditionDescriptions* conditions) {
    if (run.settings.write_mtr && may_write(outputs.mtr, source))
        write_results_file(outputs.mtr, metrics, run.analysis.identities);
    if (run.settings.basic_counts && may_write(outputs.cb, source)) write_basic_counts(outputs.cb, model);
    if (may_write(outputs.sta, source)) write_archive(outputs.sta, model, date, conditions);
}

}  // namespace

FileOutputs file_outputs(const RunOptions& options, const std::string& source, bool dynamic_mode) {
    FileOutputs outputs;
    outputs.sta = result_file_name(options, source, "sta");
    outputs.mtr = result_file_name(options, source, "mtr");
    outputs.dck = result_file_name(options, source, "dck");
    outputs.cb = result_file_name(options, source, "cb");
    if (dynamic_mode) {
        outputs.instrumented = instrumented_file_name(options, source);
        outputs.system_text = system_text_file_name(options, source);
    }
    return outputs;
}

std::string module_name(const std::string& source) {
    size_t sep = source.rfind('/');
    if (sep == std::string::npos) sep = source.rfind('\\');
    std::string name = sep == std::string::npos ? source : source.substr(sep);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

const std::string& results_directory(Run& run, const std::string& source) {
    if (!run.results_directory) run.results_directory = results_directory_of(run.line().options, source);
    return *run.results_directory;
}

namespace {

void analyze_text(Run& run, const std::string& source, const FileOutputs& outputs, const std::string& date) {
    if (!run.dynamic_mode && run.hooks) {
        run.hooks->set_repository(results_directory(run, source));
        run.hooks->on_file(source);
    }
    FileAnalysis file{source, module_name(source)};
    if (!open_file(file.current_file, "r", MSG_ERROR, NameForm::Literal)) return;

    AnalysisModel model("V3.0", "ARCHIVE", "LANG/C", "CURRENT_VERSION", run.settings.new_results);
    MetricCollector metrics(run.analysis.identities);
    Preprocessor preprocessor(run.settings.dialect);
    ComponentContext& components = run.analysis.context;
    components.model = &model;
    components.metrics = &metrics;
    components.on_component = nullptr;
    if (!run.dynamic_mode && run.hooks)
        components.on_component = [&run](const std::string& name, int line) { run.hooks->on_component(name, line); };

    std::unique_ptr<InstrumentedFile> instrumented;
    if (run.dynamic_mode) {
        PhaseTimer timer("instrumented file start-up");
        instrumented = std::make_unique<InstrumentedFile>(run, outputs, file.current_file, date);
    }

    ParseActions::Setup setup;
    setup.emitter = instrumented ? &instrumented->emitter() : nullptr;
    setup.components = &components;
    setup.file_names = &run.analysis.file_names;
    setup.dialect = &run.settings.dialect;
    setup.preprocessor = &preprocessor;
    setup.on_dependency = [&run](const std::string& input) { run.line().dependencies.add_input(input); };
    ParseActions actions(setup);
    Lexer lexer(lexer_setup(run, preprocessor, actions, file.current_file));
    actions.set_lexer(&lexer);
    preprocessor.set_include_handler([&](const std::string& path) {
        if (path != file.current_file) run.line().dependencies.add_input(path);
    });

    std::optional<std::string> options_file;
    {
        PhaseTimer timer("options file");
        options_file = read_options_file(run, preprocessor);
    }
    bool started;
    {
        PhaseTimer timer("preprocessor start");
        started = start_preprocessing(run, preprocessor, file.current_file);
    }
    if (started) {
        if (run.line().ignore_file) run.line().dependencies.add_input(*run.line().ignore_file);
        if (options_file) run.line().dependencies.add_input(*options_file);
        run.line().dependencies.set_main_input(file.current_file);

        {
            PhaseTimer timer("lexing and parsing");
            parse(actions);
            // The rest of the text is read even after a parse that ended
            // early, so that every message of the file is given.
            while (!lexer.at_end()) lexer.next_token();
        }
        std::string archive_date = date;
        if (instrumented) {
            PhaseTimer timer("instrumentation script");
            archive_date = instrumented->finish(date);
        }
        std::optional<ConditionDescriptions> conditions;
        if (instrumented && !run.line().said.decision_only)
            conditions = ConditionDescriptions{file.current_file, instrumented->emitter().component_descriptions(),
                                               instrumented->emitter().decision_descriptions()};
        PhaseTimer timer("results files");
        write_results(run, model, metrics, file.current_file, outputs, archive_date, conditions ? &*conditions : nullptr);
    }
    components.model = nullptr;
    components.metrics = nullptr;
    components.open = false;
    run.analysis.file_names.clear();
}

}  // namespace

ErrorCounts analyze_file(Run& run, const std::string& source, const FileOutputs& outputs, const std::string& date) {
    // Counted until the parts of the analysis are gone: they report too.
    ErrorTally tally;
    analyze_text(run, source, outputs, date);
    return tally.counts();
}

}  // namespace qor
