#include "driver/run_sequence.hpp"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "driver/command_line.hpp"
#include "driver/early_compile.hpp"
#include "driver/orchestration.hpp"
#include "driver/output_names.hpp"
#include "driver/pipeline.hpp"
#include "driver/run.hpp"
#include "foundation/atomic_file.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/phase_profile.hpp"
#include "platform/files.hpp"

namespace qor {

namespace {

[[noreturn]] void exit_routine(int status) {
    report_phase_profile();
    std::fflush(nullptr);
    std::exit(status);
}

// Every white-space separated word of the file is a macro name.
void read_macro_names(CommandLineBuild& line, FILE* file) {
    auto& table = line.macro_names.emplace();
    std::string word;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (!std::isspace(c)) {
            word += static_cast<char>(c);
        } else if (!word.empty()) {
            table.insert(word);
            word.clear();
        }
    }
    if (!word.empty()) table.insert(word);
}

void load_macro_name_file(CommandLineBuild& line) {
    auto found = find_config_file(line.said.macro_name_file, "QOR_CC_MAC", ".qor_cc.mac", true, true, "$QOR_UTIL");
    if (found) {
        line.macro_names.emplace();
        line.macro_name_path = found;
        if (auto file = open_file(*found, "r", MSG_WARNING)) read_macro_names(line, file.get());
        return;
    }
    found = find_in_installation(".qor_cc.mac");
    if (!found) return;
    line.macro_name_path = found;
    if (auto file = open_file(*found, "r", kUnreported)) read_macro_names(line, file.get());
}

void find_ignore_file(const RunSettings& settings, CommandLineBuild& line) {
    std::string name = settings.dialect.file_stem() + ".ign";
    line.ignore_file = find_config_file(std::nullopt, "QOR_CC_IGN", name, true, true, "$QOR_UTIL");
    if (!line.ignore_file) line.ignore_file = find_in_installation(name);
    if (line.ignore_file) line.ignore_rules = IgnoreRules::load(*line.ignore_file);
}

// -noupdate: nothing is analysed or compiled; the hook scripts load the
// cached results of the first source file.
void skip_with_cache(Run& run) {
    CommandLineBuild& line = run.line();
    if (!line.said.source_files.empty()) {
        const std::string& source = line.said.source_files.front();
        if (run.hooks) {
            run.hooks->set_repository(results_directory(run, source));
            run.hooks->on_file_skipped(source, result_file_name(line.options, source, "sta"));
        }
        if (!run.settings.quiet) std::printf("Loading cache information for %s...\n", source.c_str());
        std::fflush(stdout);
    }
    line.dependencies.release();
}

// Everything of a command line up to the end of its build.
void build_command_line(Run& run, const std::vector<std::string>& args) {
    CommandLineBuild& line = run.line();
    line.dependencies.set_command_line(args);
    if (line.said.compiler_product && line.said.compiler_command) {
        pass_to_compiler(run);
        return;
    }
    load_macro_name_file(line);
    find_ignore_file(run.settings, line);
    orchestrate_build(run);
}

void parse(Run& run, const std::vector<std::string>& args) {
    CommandLineBuild& line = run.line();
    parse_command_line(line.options, args);
    run.dynamic_mode = line.said.dynamic_mode;
    for (const auto& ignore : line.said.ignore_files) line.dependencies.add_input(ignore);
}

void run_normal_mode(Run& run, const std::vector<std::string>& args) {
    if (run.line().said.no_update) {
        skip_with_cache(run);
    } else {
        build_command_line(run, args);
    }
    run.exit_status = print_error_summary();
}

void run_list_line(Run& run, CommandLineOptions said, const std::vector<std::string>& line_args) {
    CommandLineBuild line(run, std::move(said));
    parse(run, line_args);
    if (line.said.no_update) {
        skip_with_cache(run);
        return;
    }
    build_command_line(run, line_args);
    std::fflush(nullptr);
}

// Each line of the list file is a command line of its own. The first one
// starts from what the command line naming the list file said (its source
// files, compiler and options), as the parser adds to what it is given.
void run_file_list(Run& run, const std::string& program_path, CommandLineOptions first_said) {
    bool first = true;
    for (const auto& text : read_list_file(run.settings.list_file)) {
        auto words = split_list_line(text);
        // A blank line is no command line: it would only end the run with
        // the usage text.
        if (words.empty()) continue;
        std::vector<std::string> line_args{program_path};
        for (auto& word : words) line_args.push_back(std::move(word));
        run_list_line(run, first ? std::move(first_said) : CommandLineOptions(), line_args);
        first = false;
    }
    print_error_summary();
}

}  // namespace

std::vector<std::string> read_list_file(const std::string& name) {
    FILE* file = platform::open_for_reading(name);
    if (!file) {
        std::fprintf(stderr, "qor_cc: ERROR: Can not open %s\n", name.c_str());
        diagnostics().exit(1);
    }
    std::vector<std::string> lines;
    std::string line;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        // Read as text: a carriage return before a line feed is dropped.
        if (c == '\n' && line.ends_with('\r')) line.pop_back();
        line += static_cast<char>(c);
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
    std::fclose(file);
    return lines;
}

std::vector<std::string> split_list_line(std::string_view line) {
    if (line.ends_with('\n')) line.remove_suffix(1);
    auto separator = [](char c) { return c == ' ' || c == '\n'; };
    std::vector<std::string> words;
    for (size_t i = 0; i < line.size();) {
        if (separator(line[i])) {
            ++i;
            continue;
        }
        std::string word;
        for (; i < line.size() && !separator(line[i]); ++i) {
            if (line[i] != '"') {
                word += line[i];
                continue;
            }
            // A quoted stretch: an option keeps the text before it, any other
            // word starts after the quote. The closing quote ends the word.
            if (!word.starts_with('-')) word.clear();
            size_t close = line.find('"', i + 1);
            size_t end = close == std::string_view::npos ? line.size() : close;
            word += line.substr(i + 1, end - i - 1);
            for (i = end; i < line.size() && !separator(line[i]);) ++i;
            break;
        }
        words.push_back(std::move(word));
    }
    return words;
}

int run_program(const std::vector<std::string>& args) {
    Run run(RunSettings::from_environment());
    // While the run lasts, a run that ends early (through the process's
    // way out or the caller's) first removes the temporaries and the old
    // results of the file it was analysing, which would pass for new ones.
    struct RestoreExit {
        Diagnostics::ExitHandler way_out = diagnostics().exit_handler();
        ~RestoreExit() { diagnostics().set_exit_handler(way_out); }
    } restore;
    diagnostics().set_exit_handler([&run, way_out = restore.way_out](int status) {
        remove_unfinished_files();
        if (status != 0 && run.outputs_in_analysis) remove_files(*run.outputs_in_analysis);
        if (run.command_line) run.command_line->early_compile.reset();
        if (way_out) way_out(status);
    });
    CommandLineBuild command_line(run);
    parse(run, args);
    // The compiler needs nothing of the hook interpreter, so it starts first.
    if (!run.settings.file_list_mode) EarlyCompile::start(run);
    if (!run.dynamic_mode) {
        PhaseTimer timer("hook interpreter start-up");
        run.hooks = std::make_unique<HookInterpreter>();
    }
    if (run.settings.file_list_mode)
        run_file_list(run, args.front(), std::move(command_line.said));
    else
        run_normal_mode(run, args);
    if (!run.dynamic_mode && run.hooks) run.hooks->do_metrics();
    return run.exit_status;
}

void run_main(const std::vector<std::string>& args) {
    diagnostics().set_exit_handler(exit_routine);
    install_crash_handler();
    exit_routine(run_program(args));
}

}  // namespace qor
