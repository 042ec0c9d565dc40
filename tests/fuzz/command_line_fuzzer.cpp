// The command line, response files and list files, in process: parsing
// only, then the names that the parsed options give a source file and the
// compile step's words. Nothing is analysed or compiled.
//
// The input is up to three parts separated by NUL bytes: the argument
// words after the program path, one per line; the text of the file
// `words.lst`; the text of the file `words.rsp`. The words may name these
// files (`-l words.lst`, `@words.rsp` after `-dial GNU`).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/command_line.hpp"
#include "driver/orchestration.hpp"
#include "driver/output_names.hpp"
#include "driver/run_sequence.hpp"
#include "fuzz_support.hpp"

namespace {

using qor::RunOptions;

// What the run and one command line own, as the driver sees it.
struct Options {
    qor::RunSettings settings;
    qor::CommandLineOptions said;
    qor::BuildOutputs outputs;

    RunOptions view() { return {settings, said, outputs}; }
};

std::string_view next_part(std::string_view& input) {
    size_t end = input.find('\0');
    std::string_view part = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return part;
}

std::vector<std::string> argument_words(std::string_view text) {
    std::vector<std::string> words{"qor_cc"};
    while (!text.empty()) {
        size_t end = text.find('\n');
        words.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return words;
}

// What the rest of a run derives from the options alone. The instrumented
// file's name is left out: its prefix directory would be created.
void derive_names(const RunOptions& options) {
    for (const auto& source : options.said.source_files) {
        qor::result_file_name(options, source, "sta");
        qor::results_directory_of(options, source);
        qor::build_state_file_name(options, source);
        qor::cache_file_name(options, source);
    }
    qor::compile_command(options, options.said.dynamic_mode);
}

void parse_and_derive(Options& options, const std::vector<std::string>& args) {
    qor::parse_command_line(options.view(), args);
    derive_names(options.view());
}

// The list file's lines, as a run reads them: each parsed into a command
// line of its own, the first from what the command line before it said.
void parse_list_file(Options& options) {
    for (const auto& line : qor::read_list_file(options.settings.list_file)) {
        auto words = qor::split_list_line(line);
        if (words.empty()) continue;
        words.insert(words.begin(), "qor_cc");
        parse_and_derive(options, words);
        options.said = qor::CommandLineOptions();
        options.outputs = qor::BuildOutputs();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qor::fuzz::Workspace workspace;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto args = argument_words(next_part(input));
    qor::fuzz::write_file("words.lst", next_part(input));
    qor::fuzz::write_file("words.rsp", input);
    qor::fuzz::run_isolated([&] {
        Options options;
        parse_and_derive(options, args);
        if (options.settings.file_list_mode) parse_list_file(options);
    });
    return 0;
}
