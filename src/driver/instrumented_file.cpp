#include "driver/instrumented_file.hpp"

#include "driver/output_names.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"

namespace qor {

InstrumentedFile::InstrumentedFile(Run& run, const FileOutputs& outputs, const std::string& source,
                                   const std::string& date)
    : file_(outputs.instrumented, MSG_FATAL),
      system_text_file_(outputs.system_text, MSG_FATAL),
      system_text_(file_, system_text_file_.get(), std::string(last_component(outputs.system_text))) {
    if (run.settings.pch_use) std::fprintf(file_.get(), "#include \"%s\"\n", run.settings.pch_use->c_str());
    std::string header = instrumented_file_name(run.line().options, source, 'h');
    interpreter_ = std::make_unique<InstrumentInterpreter>(run.settings.instrumentation_script, header, date);
    std::fprintf(file_.get(), "#include \"%s\"\n", std::string(last_component(header)).c_str());
    int* mcdc_records = run.line().said.decision_only ? nullptr : &run.analysis.mcdc_records;
    emitter_ = std::make_unique<InstrumentEmitter>(file_.get(), source, mcdc_records);
    emitter_->set_system_header_text(&system_text_);
}

std::string InstrumentedFile::finish(const std::string& date) {
    emitter_->finish();
    interpreter_->set_functions(emitter_->functions());
    std::fputs("\n", file_.get());
    file_.commit();
    system_text_file_.commit();
    interpreter_->run_instrument();
    std::string result = interpreter_->date().value_or(date);
    interpreter_.reset();
    return result;
}

}  // namespace qor
