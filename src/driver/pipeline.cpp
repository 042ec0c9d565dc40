#include "driver/pipeline.hpp"

#include "driver/options_file.hpp"
#include "driver/output_names.hpp"
#include "driver/preprocessing.hpp"
#include "driver/source_analysis.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/phase_profile.hpp"
#include "foundation/text.hpp"
#include "preprocessor/language_standard.hpp"

namespace qor {

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
    size_t sep = last_separator(source, SeparatorRule::SlashThenBackslash);
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
    if (!open_file(source, "r", MSG_ERROR, NameForm::Literal)) return;

    SourceAnalysis file(run, source, outputs, date);
    std::optional<std::string> options_file;
    {
        PhaseTimer timer("options file");
        options_file = read_options_file(run, file.preprocessor());
        if (options_file) file.read_as_c23(options_file_c23(*options_file));
    }
    bool started;
    {
        PhaseTimer timer("preprocessor start");
        started = start_preprocessing(run, file.preprocessor(), source);
    }
    if (!started) return;
    if (run.line().ignore_file) run.line().dependencies.add_input(*run.line().ignore_file);
    if (options_file) run.line().dependencies.add_input(*options_file);
    run.line().dependencies.set_main_input(source);
    file.parse_text();
    file.write_results(outputs, file.finish_instrumented(date));
}

}  // namespace

ErrorCounts analyze_file(Run& run, const std::string& source, const FileOutputs& outputs, const std::string& date) {
    // Counted until the parts of the analysis are gone: they report too.
    ErrorTally tally;
    analyze_text(run, source, outputs, date);
    return tally.counts();
}

}  // namespace qor
