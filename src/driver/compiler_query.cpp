#include "driver/compiler_query.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "driver/gcc_options.hpp"
#include "driver/orchestration.hpp"
#include "foundation/atomic_file.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"

namespace qor {

namespace {

constexpr std::string_view kSearchListStart = "#include <...> search starts here:";

// Flags that change neither the macros nor the search path, or that make
// no sense on the query's empty input: files, outputs, stages, warnings,
// dependency files and linking.
bool left_out_of_query(const std::vector<std::string>& words, const GccOption& option) {
    const std::string& word = words[option.index];
    if (!word.starts_with('-') || word == "-") return true;
    if (gcc_preprocessing_option(word) || gcc_dependency_option(word)) return true;
    static constexpr std::string_view kWords[] = {"-o", "-c", "-S", "-E", "-x", "-v", "-fsyntax-only",
                                                  "-Xlinker", "-Xassembler", "-MJ", "-include-pch"};
    if (std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords)) return true;
    // -Wp, hands options to the preprocessor (-Wp,-D_FORTIFY_SOURCE=2).
    if (word.starts_with("-W")) return !word.starts_with("-Wp,");
    return word.starts_with("-l") || word.starts_with("-L") || word.starts_with("-save-temps");
}

// 64-bit FNV-1a: a stable name for a query's cache file.
std::string hash_name(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

// Where the compiler's program file lies and when it last changed, so that
// an upgraded compiler is asked again.
std::string program_identity(const std::string& program) {
    std::string path = platform::find_program(program).value_or(program);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return path;
    return path + " " + std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

// The first line of a query's options file: the query itself, on one line.
std::string query_line(const std::vector<std::string>& command) {
    std::string line = "// Asked of the compiler:";
    for (const auto& word : command) line += " " + word;
    line += " (" + program_identity(command.front()) + ")";
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

// The first of the cache directories that exists or can be made, and can
// be written: a home without a writable cache still gets its answers kept.
std::string cache_directory(const std::vector<std::string>& candidates) {
    for (const auto& directory : candidates)
        if (make_directories(directory) && platform::is_writable(directory)) return directory;
    return candidates.back();
}

bool starts_with_line(const std::string& path, const std::string& line) {
    auto file = open_file(path, "r", kUnreported, NameForm::Literal);
    if (!file) return false;
    std::string first;
    for (int c; (c = std::fgetc(file.get())) != EOF && c != '\n';) first += static_cast<char>(c);
    return first == line;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The answer of the compiler, or the end of the run.
platform::CapturedOutput ask(const std::vector<std::string>& command) {
    platform::CapturedOutput answer = platform::run_capturing(command);
    if (!answer.status.started) {
        errno = answer.status.error;
        report_errno(MSG_ERROR, command.front());
        diagnostics().exit(127);
    }
    if (answer.status.status != 0) {
        std::fputs(answer.err.c_str(), stderr);
        std::string text = command.front() + ": cannot tell its predefined macros (";
        for (const auto& word : command) text += (&word == &command.front() ? "" : " ") + word;
        report_message(MSG_ERROR, text + " ended with status " + std::to_string(answer.status.status) + ")");
        diagnostics().exit(127);
    }
    return answer;
}

}  // namespace

std::vector<std::string> compiler_query_command(const RunOptions& options) {
    std::vector<std::string> command = split_command_words(options.said.compiler_command.value_or(""));
    const auto& words = options.said.compiler_options;
    for (const GccOption& option : gcc_option_groups(words)) {
        if (!left_out_of_query(words, option))
            command.insert(command.end(), words.begin() + option.index, words.begin() + option.index + option.count);
    }
    command.insert(command.end(), {"-dM", "-E", "-v", "-x", "c", "/dev/null"});
    return command;
}

std::string options_file_from_answer(const std::string& first_line, const std::string& macros,
                                     const std::string& report) {
    std::vector<std::string> definitions;
    for (const auto& line : lines_of(macros))
        if (line.starts_with("#define ")) definitions.push_back("D " + line.substr(8));
    // Sorted, so that the same answer gives the same file.
    std::sort(definitions.begin(), definitions.end());
    std::string text = first_line + "\n// The compiler's predefined macros.\n";
    for (const auto& definition : definitions) text += definition + "\n";
    text += "// Its <...> include directories, searched in this order.\n";
    bool in_list = false;
    for (auto line : lines_of(report)) {
        if (line == "End of search list.") break;
        if (in_list) {
            line.erase(0, line.find_first_not_of(' '));
            if (line.ends_with(" (framework directory)")) line.resize(line.size() - 22);
            text += "I " + line + "\n";
        }
        if (line == kSearchListStart) in_list = true;
    }
    return text;
}

std::optional<std::string> compiler_options_file(const RunOptions& options) {
    std::vector<std::string> command = compiler_query_command(options);
    std::string first_line = query_line(command);
    std::string directory = cache_directory(options.settings.answer_cache_directories);
    std::string path = directory + "/" + hash_name(first_line) + ".def";
    if (starts_with_line(path, first_line)) return path;

    platform::CapturedOutput answer = ask(command);
    if (answer.err.find(kSearchListStart) == std::string::npos) return std::nullopt;
    // Builds running at the same time may write the same file: each
    // writes a whole file under a name of its own and renames it.
    AtomicFile file(path, MSG_FATAL);
    std::fputs(options_file_from_answer(first_line, answer.out, answer.err).c_str(), file.get());
    if (!file.commit()) diagnostics().exit(2);
    return path;
}

}  // namespace qor
