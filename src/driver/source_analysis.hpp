// Everything that lives for the analysis of one source file: its model and
// metrics, its preprocessor, the measuring side of the grammar events and,
// in dynamic mode, the instrumented copy with its probes, the parse actions
// and the lexer. Destroying it is the file's clean-up.
#pragma once

#include <memory>
#include <string>

#include "analysis/measuring_events.hpp"
#include "driver/instrumented_file.hpp"
#include "driver/run.hpp"
#include "frontend/parse_actions.hpp"
#include "instrument/probing_events.hpp"

namespace qor {

class SourceAnalysis {
public:
    // `source` is the file's name as opened; the instrumented copy (dynamic
    // mode) is started here.
    SourceAnalysis(Run& run, const std::string& source, const FileOutputs& outputs, const std::string& date);
    SourceAnalysis(const SourceAnalysis&) = delete;
    SourceAnalysis& operator=(const SourceAnalysis&) = delete;

    Preprocessor& preprocessor() { return preprocessor_; }
    // What of C23 the text is read with, as the options file says.
    void read_as_c23(C23Reading reading) { lexer_.set_c23(reading); }
    // Parses the whole text, then reads what a parse that ended early left,
    // so that every message of the file is given.
    void parse_text();
    // The instrumented copy completed; returns the archive's date.
    std::string finish_instrumented(const std::string& date);
    // The results files, once the whole text is read.
    void write_results(const FileOutputs& outputs, const std::string& date);

private:
    GrammarEvents& events() { return probes_ ? static_cast<GrammarEvents&>(*probes_) : measure_; }
    LexerSetup lexer_setup();

    Run& run_;
    std::string source_;
    AnalysisModel model_;
    MetricCollector metrics_;
    Preprocessor preprocessor_;
    std::unique_ptr<InstrumentedFile> instrumented_;
    MeasuringEvents measure_;
    std::unique_ptr<ProbingEvents> probes_;  // dynamic mode only
    ParseActions actions_;
    Lexer lexer_;
};

}  // namespace qor
