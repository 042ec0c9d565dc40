#include "driver/orchestration.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "driver/early_compile.hpp"
#include "driver/gcc_compile.hpp"
#include "driver/output_names.hpp"
#include "driver/pipeline.hpp"
#include "driver/source_date.hpp"
#include "foundation/containers.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/line_map.hpp"
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

void add_precompiled_header_options(const RunOptions& options, const std::string& instrumented) {
    auto add = [&](const std::string& flag, const std::optional<std::string>& header) {
        if (!header) return;
        std::string relative = instrumented.empty() ? "" : relative_directory(instrumented, *header);
        std::string name = relative.empty() ? *header : relative + std::string(last_component(*header));
        options.said.compiler_options.push_back(flag + name);
    };
    add("-Yu", options.settings.pch_use);
    add("-Yc", options.settings.pch_create);
    std::fflush(stdout);
}

void create_build_state_marker(Run& run, const std::string& source) {
    if (run.build_state_marker_created) return;
    run.build_state_marker_created = true;
    std::string name = build_state_file_name(run.line().options, source);
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
    if (run.settings.write_mtr) add(outputs.mtr);
    if (run.settings.basic_counts) add(outputs.cb);
    if (run.dynamic_mode) {
        add(outputs.instrumented);
        add(outputs.system_text);
        add(line_map_name(outputs.sta));
    }
    return names;
}

// The outputs that a failure of the file under analysis removes, shown to
// the run while the analysis lasts: a run that ends during it removes them
// too (see run_program).
class OutputsInAnalysis {
public:
    OutputsInAnalysis(Run& run, std::vector<std::string> names) : run_(run), names_(std::move(names)) {
        run_.outputs_in_analysis = &names_;
    }
    ~OutputsInAnalysis() { run_.outputs_in_analysis = nullptr; }
    OutputsInAnalysis(const OutputsInAnalysis&) = delete;
    OutputsInAnalysis& operator=(const OutputsInAnalysis&) = delete;

    const std::vector<std::string>& names() const { return names_; }

private:
    Run& run_;
    std::vector<std::string> names_;
};

void analyze_source(Run& run, const std::string& source, bool heading) {
    CommandLineBuild& line = run.line();
    const RunOptions& options = line.options;
    if (run.settings.batch && !run.settings.quiet) std::printf("Analyzing: %s...\n", source.c_str());
    std::string date = source_date_text(source, run.settings.no_date);
    FileOutputs outputs = file_outputs(options, source, run.dynamic_mode);
    append_unique(line.outputs.sta_files, outputs.sta);
    append_unique(line.outputs.mtr_files, outputs.mtr);
    append_unique(line.outputs.dck_files, outputs.dck);
    if (run.dynamic_mode && line.said.compiler_command)
        line.outputs.instrumented_sources.push_back(outputs.instrumented);
    add_precompiled_header_options(options, outputs.instrumented);
    if (heading) std::printf("%s: \n", std::string(last_component(source)).c_str());
    std::fflush(stdout);

    line.dependencies.add_output(outputs.sta);
    line.dependencies.add_output(outputs.mtr);
    line.dependencies.set_file_name(cache_file_name(options, source));

    OutputsInAnalysis removable(
        run, run.settings.remove_failed_outputs ? removable_outputs(run, source, outputs) : std::vector<std::string>());
    ErrorCounts errors = analyze_file(run, source, outputs, date);

    if (errors.lexical_errors > 0) create_build_state_marker(run, source);
    if (errors.errors == 0) line.dependencies.write();
    // Lexical errors alone leave results worth keeping.
    if (errors.errors > errors.lexical_errors) remove_files(removable.names());
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
    const CommandLineBuild& line = run.line();
    const RunOptions& options = line.options;
    bool all = gcc_wants_dependencies(options);
    for (size_t i = 0; i < options.said.source_files.size(); ++i) {
        const std::string& source = options.said.source_files[i];
        const auto& problems = line.preprocessing_problems;
        bool problem = std::find(problems.begin(), problems.end(), source) != problems.end();
        if (!all && !problem) continue;
        std::vector<std::string> argv = split_command_words(options.said.compiler_command.value_or(""));
        for (auto& word : gcc_source_check(options, i)) argv.push_back(std::move(word));
        check_compiler_status(platform::run_and_wait(argv), argv);
    }
}

// The compile step: the compiler started with the analysis when it runs
// the command needed, else the compiler run now.
void compile(Run& run) {
    CommandLineBuild& line = run.line();
    bool gcc_dynamic = run.dynamic_mode && line.said.gcc_command_line;
    if (gcc_dynamic) check_sources(run);
    auto argv = compile_command(line.options, run.dynamic_mode);
    platform::ChildStatus result;
    {
        PhaseTimer timer("compile step");
        if (line.early_compile && line.early_compile->runs(argv)) {
            result = line.early_compile->finish();
        } else {
            line.early_compile.reset();
            result = platform::run_and_wait(argv);
        }
    }
    check_compiler_status(result, argv);
    if (!gcc_dynamic) return;
    for (const auto& [made, expected] : gcc_outputs_to_rename(line.options)) platform::rename_file(made, expected);
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
    std::vector<std::string> argv = split_command_words(options.said.compiler_command.value_or(""));
    if (options.said.gcc_command_line) {
        for (auto& word : gcc_compile_words(options, dynamic_mode)) argv.push_back(std::move(word));
        return argv;
    }
    argv.insert(argv.end(), options.said.preprocessor_options.begin(), options.said.preprocessor_options.end());
    const auto& files = dynamic_mode ? options.outputs.instrumented_sources : options.said.source_files;
    argv.insert(argv.end(), files.begin(), files.end());
    argv.insert(argv.end(), options.said.object_files.begin(), options.said.object_files.end());
    argv.insert(argv.end(), options.said.compiler_options.begin(), options.said.compiler_options.end());
    return argv;
}

void pass_to_compiler(Run& run) {
    run.line().dependencies.release();
    auto argv = compile_command(run.line().options, false);
    check_compiler_status(platform::run_and_wait(argv), argv);
}

void orchestrate_build(Run& run) {
    CommandLineBuild& line = run.line();
    bool heading = !run.settings.batch && !run.settings.quiet && line.said.source_files.size() > 1;
    if (heading) std::printf("\nQorvane analyzing:\n");

    if (!line.early_compile) EarlyCompile::start(run);
    for (const auto& source : line.said.source_files) analyze_source(run, source, heading);

    line.dependencies.release();
    if (line.said.compiler_command && error_count() == 0) compile(run);
    // A compile that did not get its turn ends with the build.
    line.early_compile.reset();
}

}  // namespace qor
