#include "driver/preprocessing.hpp"

#include <ctime>
#include <memory>

#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/text.hpp"
#include "platform/process.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

void report_preprocessing_problem(const std::vector<std::string>& command) {
    std::string text = "Warning(s) or error(s) found at preprocessing time: ";
    for (const auto& word : command) text += word + " ";
    report_message(MSG_WARNING, text + "\n");
}

}  // namespace

std::vector<std::string> external_preprocessor_command(const Run& run, const std::string& source) {
    const RunOptions& options = run.line().options;
    std::vector<std::string> command{executable_directory() + "/full_prepro", "-C", "-dial",
                                     to_lower(options.settings.dialect.name)};
    if (options.settings.dialect.ansi_preprocessing) command.push_back("-trigraphs");
    if (!options.settings.dialect.dollar_in_identifiers) command.push_back("-$");
    if (options.said.options_file) {
        command.push_back("-ddef");
        command.push_back(*options.said.options_file);
    }
    if (!options.settings.macro_expansion) command.push_back("-mode=noexp");
    if (run.line().macro_name_path) {
        if (options.settings.macro_expansion) command.push_back("-mode=exp");
        command.push_back("-mac");
        command.push_back(*run.line().macro_name_path);
    }
    command.insert(command.end(), options.said.preprocessor_options.begin(), options.said.preprocessor_options.end());
    command.push_back(source);
    return command;
}

bool start_preprocessing(Run& run, Preprocessor& preprocessor, const std::string& source) {
    if (!run.settings.external_preprocessor) {
        preprocessor.macros().define_builtins(static_cast<long>(std::time(nullptr)));
        if (!preprocessor.start_file(source)) {
            report_errno(MSG_ERROR, source);
            return false;
        }
        if (run.settings.preprocess_only) diagnostics().exit(0);
        return true;
    }
    std::vector<std::string> command = external_preprocessor_command(run, source);
    if (run.settings.preprocess_only) {
        // The preprocessed text goes to standard output, as a compiler's -E.
        platform::run_and_wait(command);
        diagnostics().exit(0);
    }
    auto failed = [&run, source](const std::vector<std::string>& command) {
        report_preprocessing_problem(command);
        run.line().preprocessing_problems.push_back(source);
    };
    auto pipe = std::make_unique<platform::ChildOutput>();
    if (!pipe->start(command)) {
        failed(command);
        return false;
    }
    // Messages before the first line marker name the source itself.
    preprocessor.set_pipe_failure_handler(failed);
    preprocessor.start_pipe(std::move(pipe), std::move(command), source);
    return true;
}

}  // namespace qor
