#include "driver/orchestration.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "driver/early_compile.hpp"
#include "driver/gcc_compile.hpp"
#include "driver/output_names.hpp"
#include "driver/pipeline.hpp"
#include "driver/source_date.hpp"
#include "foundation/containers.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/phase_profile.hpp"
#include "foundation/text.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"

namespace qor {

namespace {

// Full paths longer than this give no relative directory.
constexpr size_t kRelativePathLimit = 255;

std::vector<std::string> path_directories(const std::string& file) {
    std::vector<std::string> parts;
    std::string full = platform::absolute_path(file);
    size_t start = 0;
    for (size_t sep; (sep = full.find('/', start)) != std::string::npos; start = sep + 1) {
        if (sep > start) parts.push_back(full.substr(start, sep - start));
    }
    return parts;
}

void add_precompiled_header_options(RunOptions& options, const std::string& instrumented) {
    auto add = [&](const std::string& flag, const std::optional<std::string>& header) {
        if (!header) return;
        std::string relative = instrumented.empty() ? "" : relative_directory(instrumented, *header);
        std::string name = relative.empty() ? *header : relative + std::string(last_component(*header));
        options.compiler_options.push_back(flag + name);
    };
    add("-Yu", options.pch_use);
    add("-Yc", options.pch_create);
    std::fflush(stdout);
}

void create_build_state_marker(Run& run, const std::string& source) {
    if (run.build_state_marker_created) return;
    run.build_state_marker_created = true;
    std::string name = build_state_file_name(run.options, source);
    if (FILE* f = std::fopen(name.c_str(), "w"))
        std::fclose(f);
    else
        report_errno(MSG_WARNING, name);
}

// What a failed analysis of `source` must not leave behind; a name that is
// the source file itself is never removed.
std::vector<std::string> removable_outputs(const Run& run, const std::string& source, const FileOutputs& outputs) {
    std::vector<std::string> names;
    auto add = [&](const std::string& name) {
        if (!platform::same_file(name, source)) names.push_back(name);
    };
    add(outputs.sta);
    if (run.options.write_mtr) add(outputs.mtr);
    if (run.options.basic_counts) add(outputs.cb);
    if (run.dynamic_mode) {
        add(outputs.instrumented);
        add(outputs.system_text);
    }
    return names;
}

void analyze_source(Run& run, const std::string& source, bool heading, bool removal) {
    RunOptions& options = run.options;
    if (options.batch && !options.quiet) std::printf("Analyzing: %s...\n", source.c_str());
    std::string date = source_date_text(source, options.no_date);
    FileOutputs outputs = file_outputs(options, source, run.dynamic_mode);
    append_unique(options.sta_files, outputs.sta);
    append_unique(options.mtr_files, outputs.mtr);
    append_unique(options.dck_files, outputs.dck);
    if (run.dynamic_mode && options.compiler_command) options.instrumented_sources.push_back(outputs.instrumented);
    add_precompiled_header_options(options, outputs.instrumented);
    if (heading) std::printf("%s: \n", std::string(last_component(source)).c_str());
    std::fflush(stdout);

    int errors_before = error_count();
    run.dependencies.add_output(outputs.sta);
    run.dependencies.add_output(outputs.mtr);
    run.dependencies.set_file_name(cache_file_name(options, source));
    diagnostics().reset_file_lexical_errors();

    // Also removed when the run ends during the analysis (see run_main).
    if (removal) run.outputs_in_analysis = removable_outputs(run, source, outputs);
    analyze_file(run, source, outputs, date);

    int lexical = diagnostics().file_lexical_errors();
    if (lexical > 0) create_build_state_marker(run, source);
    int added = error_count() - errors_before;
    if (added == 0) run.dependencies.write();
    if (added > lexical) remove_files(run.outputs_in_analysis);
    run.outputs_in_analysis.clear();
}

// A compiler run that failed ends the run with the compiler's status.
void check_compiler_status(const platform::ChildStatus& result, const std::vector<std::string>& argv) {
    int status = result.status;
    if (!result.started) {
        errno = result.error;
        report_errno(MSG_ERROR, argv.empty() ? std::string() : argv[0]);
        status = 127;
    }
    if (status == 0) return;
    report_message(MSG_ERROR, "during compilation");
    diagnostics().exit(status);
}

// Dynamic mode with gcc's command line: the compiler preprocesses each
// original source that must be checked, so that a source it rejects fails
// the build as it would plainly, and the dependency file names the source.
void check_sources(const Run& run) {
    const RunOptions& options = run.options;
    bool all = gcc_wants_dependencies(options);
    for (size_t i = 0; i < options.source_files.size(); ++i) {
        const std::string& source = options.source_files[i];
        bool problem = std::find(run.preprocessing_problems.begin(), run.preprocessing_problems.end(), source) !=
                       run.preprocessing_problems.end();
        if (!all && !problem) continue;
        std::vector<std::string> argv = split_command_words(options.compiler_command.value_or(""));
        for (auto& word : gcc_source_check(options, i)) argv.push_back(std::move(word));
        check_compiler_status(platform::run_and_wait(argv), argv);
    }
}

// The compile step: the compiler started with the analysis when it runs
// the command needed, else the compiler run now.
void compile(Run& run) {
    bool gcc_dynamic = run.dynamic_mode && run.options.gcc_command_line;
    if (gcc_dynamic) check_sources(run);
    auto argv = compile_command(run.options, run.dynamic_mode);
    platform::ChildStatus result;
    {
        PhaseTimer timer("compile step");
        if (run.early_compile && run.early_compile->runs(argv)) {
            result = run.early_compile->finish();
        } else {
            run.early_compile.reset();
            result = platform::run_and_wait(argv);
        }
    }
    check_compiler_status(result, argv);
    if (!gcc_dynamic) return;
    for (const auto& [made, expected] : gcc_outputs_to_rename(run.options)) platform::rename_file(made, expected);
}

}  // namespace

void remove_files(const std::vector<std::string>& names) {
    for (const auto& name : names) platform::remove_file(name);
}

std::vector<std::string> split_command_words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

std::string relative_directory(const std::string& from_file, const std::string& to_file) {
    if (platform::absolute_path(from_file).size() >= kRelativePathLimit ||
        platform::absolute_path(to_file).size() >= kRelativePathLimit)
        return {};
    auto from = path_directories(from_file);
    auto to = path_directories(to_file);
    size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
    std::string relative;
    for (size_t i = common; i < from.size(); ++i) relative += "../";
    for (size_t i = common; i < to.size(); ++i) relative += to[i] + "/";
    return relative;
}

std::vector<std::string> compile_command(const RunOptions& options, bool dynamic_mode) {
    std::vector<std::string> argv = split_command_words(options.compiler_command.value_or(""));
    if (options.gcc_command_line) {
        for (auto& word : gcc_compile_words(options, dynamic_mode)) argv.push_back(std::move(word));
        return argv;
    }
    argv.insert(argv.end(), options.preprocessor_options.begin(), options.preprocessor_options.end());
    const auto& files = dynamic_mode ? options.instrumented_sources : options.source_files;
    argv.insert(argv.end(), files.begin(), files.end());
    argv.insert(argv.end(), options.object_files.begin(), options.object_files.end());
    argv.insert(argv.end(), options.compiler_options.begin(), options.compiler_options.end());
    return argv;
}

void pass_to_compiler(Run& run) {
    run.dependencies.release();
    auto argv = compile_command(run.options, false);
    check_compiler_status(platform::run_and_wait(argv), argv);
    if (run.options.file_list_mode) run.options.reset_option_state();
}

void orchestrate_build(Run& run) {
    RunOptions& options = run.options;
    bool removal = std::getenv("QOR_CC_NO_DEL") == nullptr;
    bool heading = !options.batch && !options.quiet && options.source_files.size() > 1;
    if (heading) std::printf("\nQorvane analyzing:\n");

    if (!run.early_compile) EarlyCompile::start(run);
    for (const auto& source : options.source_files) analyze_source(run, source, heading, removal);

    run.dependencies.release();
    if (options.compiler_command && error_count() == 0) compile(run);
    run.early_compile.reset();
    run.preprocessing_problems.clear();
    run.compiler_asked = false;
    run.compiler_options_file.reset();
    options.dck_files.clear();
    if (options.file_list_mode) options.reset_option_state();
}

}  // namespace qor
