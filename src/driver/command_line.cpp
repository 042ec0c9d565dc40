#include "driver/command_line.hpp"

#include <array>
#include <cerrno>
#include <cstdio>

#include "driver/gcc_options.hpp"
#include "driver/output_names.hpp"
#include "foundation/containers.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/text.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"

namespace qor {

namespace {

struct EmulatedOption {
    std::string_view option;
    std::array<std::string_view, 2> macros;
};

// Compiler options whose only effect is a predefined macro.
constexpr std::array<EmulatedOption, 24> kEmulatedOptions = {{
    {"Za", {"-D__STDC__=1"}},
    {"J", {"-D_CHAR_UNSIGNED"}},
    {"MD", {"-D_DLL", "-D_MT"}},
    {"MDd", {"-D_DLL", "-D_MT"}},
    {"GB", {"-D_M_IX86=400"}},
    {"G4", {"-D_M_IX86=400"}},
    {"G3", {"-D_M_IX86=300"}},
    {"G5", {"-D_M_IX86=500"}},
    {"G1", {"-DM_I286", "-D_M_I286"}},
    {"G2", {"-DM_I286", "-D_M_I286"}},
    {"G0", {"-DM_I8086", "-D_M_I8086"}},
    {"AT", {"-DM_I86TM", "-D_M_I86TM"}},
    {"AS", {"-DM_I86SM", "-D_M_I86SM"}},
    {"AC", {"-DM_I86CM", "-D_M_I86CM"}},
    {"AM", {"-DM_I86MM", "-D_M_I86MM"}},
    {"AL", {"-DM_I86LM", "-D_M_I86LM"}},
    {"AH", {"-DM_I86HM", "-D_M_I86HM"}},
    {"Oq", {"-D_PCODE"}},
    {"f", {"-D_QC"}},
    {"GD", {"-D_WINDLL", "-D_WINDOWS"}},
    {"GA", {"-D_WINDOWS"}},
    {"GW", {"-D_WINDOWS"}},
    {"Gw", {"-D_WINDOWS"}},
    {"Mq", {"-D_WINDOWS"}},
}};

const std::string kDefaultSourceFilter = "*.c;*.C;";

// First letters of the program's own options.
constexpr std::string_view kOwnOptionLetters = "bcdehilmnoqt";

void print_banner(bool dynamic) {
    std::printf("\nBrisandor Qorvane C %s 6.5.0.0 (qor_cc)\n"
                "Copyright (c) Brisandor. All rights reserved.\n"
                "This program is protected by copyright law and international treaties.\n\n",
                dynamic ? "DynamicAnalyzer" : "StaticAnalyzer");
}

class CommandLineParser {
public:
    explicit CommandLineParser(const RunOptions& options)
        : options_(options), settings_(options.settings), said_(options.said), outputs_(options.outputs) {}

    void run(const std::vector<std::string>& args);

private:
    void expand(const std::vector<std::string>& args);
    void read_response_file(const std::string& name);
    void prepass();
    void main_pass();
    void option(const std::string& word);
    void gcc_word(const std::string& word);
    void gcc_file_word(const std::string& word);
    bool own_option(const std::string& word, std::string_view name);
    bool emulated_option(std::string_view name);
    void file_word(const std::string& word);
    void object_file(const std::string& word);
    void set_output(const std::string& name);
    void check_output();
    // The next word as an option's value; the usage display when missing.
    std::string value(std::string_view message);
    bool is_source(std::string_view word) const;

    RunOptions options_;
    RunSettings& settings_;
    CommandLineOptions& said_;
    BuildOutputs& outputs_;
    std::vector<std::string> words_;
    size_t next_ = 1;
    bool dialect_selected_ = false;
    bool compile_flag_given_ = false;
    bool compiler_given_ = false;
    // gcc's -x: the language of the file words that follow ("none": by
    // their names).
    std::string language_ = "none";
};

void CommandLineParser::run(const std::vector<std::string>& args) {
    settings_.program_name = program_name_from_path(platform::executable_path());
    diagnostics().set_program_name(settings_.program_name);
    expand(args);

    said_.preprocessor_options.clear();
    said_.dynamic_mode = false;
    said_.decision_only = true;
    said_.compile_only = true;
    said_.no_update = false;
    if (words_.size() <= 1) show_usage(options_);
    said_.output_from_fo = false;
    said_.source_filter.clear();
    said_.gcc_command_line = settings_.dialect.gcc_command_line();
    said_.compiler_product = false;

    prepass();
    main_pass();
    if (!dialect_selected_) select_dialect(settings_.dialect, "MSC70");
    // With gcc's command line an object keeps its name: the dynamic build
    // gives the instrumented object the name that the plain build gives.
    if (said_.dynamic_mode && !said_.gcc_command_line)
        said_.object_files = instrumented_object_names(said_.object_files);
    check_output();
    if (settings_.preprocess_only || said_.compiler_product) return;
    // A gcc command line with nothing to analyse (a link, a query) shows
    // only what the compiler shows.
    bool nothing_to_analyse = said_.gcc_command_line && said_.source_files.empty();
    if (!settings_.batch && !settings_.quiet && !nothing_to_analyse &&
        (said_.dynamic_mode || !settings_.static_banner_printed)) {
        print_banner(said_.dynamic_mode);
        if (!said_.dynamic_mode) settings_.static_banner_printed = true;
    }
    std::fflush(stderr);
    std::fflush(stdout);
}

void CommandLineParser::expand(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i > 0 && arg == "-dial") {
            if (i + 1 >= args.size() || args[i + 1].starts_with('-'))
                show_usage(options_, " Option -dial has to be followed by a dialect name");
            select_dialect(settings_.dialect, args[++i]);
            dialect_selected_ = true;
        } else if (i > 0 && ((arg.starts_with('@') && settings_.dialect.accepts_at_response_files()) ||
                             (arg.starts_with('+') && settings_.dialect.accepts_plus_response_files()))) {
            read_response_file(arg.substr(1));
        } else {
            words_.push_back(arg);
        }
    }
}

void CommandLineParser::read_response_file(const std::string& name) {
    FILE* f = platform::open_for_reading(name);
    if (!f) {
        report_errno(MSG_FATAL, name);
        return;
    }
    std::string line;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        for (auto& word : split_response_line(line)) words_.push_back(std::move(word));
        line.clear();
    }
    for (auto& word : split_response_line(line)) words_.push_back(std::move(word));
    std::fclose(f);
}

void CommandLineParser::prepass() {
    for (size_t i = 1; i < words_.size(); ++i) {
        if (words_[i] == "-longname") settings_.short_names = false;
        if (words_[i] == "-extensions" && i + 1 < words_.size()) said_.source_filter += words_[i + 1] + ";";
    }
}

void CommandLineParser::main_pass() {
    for (next_ = 1; next_ < words_.size();) {
        const std::string word = words_[next_++];
        if (said_.gcc_command_line)
            gcc_word(word);
        else if (word.starts_with('-'))
            option(word);
        else
            file_word(word);
    }
}

std::string CommandLineParser::value(std::string_view message) {
    if (next_ >= words_.size() || words_[next_].starts_with('-')) show_usage(options_, message);
    return words_[next_++];
}

void CommandLineParser::option(const std::string& word) {
    std::string_view name = std::string_view(word).substr(1);
    if (emulated_option(name)) return;
    char letter = name.empty() ? '\0' : name[0];
    switch (letter) {
    case 'D':
    case 'I':
    case 'U':
        said_.add_preprocessor_option(word);
        if (name.size() == 1 && next_ < words_.size()) said_.add_preprocessor_option(words_[next_++]);
        return;
    case 'E':
        if (name == "E") settings_.preprocess_only = true;
        return;
    case 'F':
        options_.add_compiler_option(word);
        if (name.starts_with("Fo")) {
            set_output(std::string(name.substr(2)));
            said_.output_from_fo = true;
        }
        return;
    default:
        break;
    }
    if (letter != '\0' && kOwnOptionLetters.find(letter) != std::string_view::npos) {
        if (!own_option(word, name)) options_.add_compiler_option(word);
        return;
    }
    said_.add_preprocessor_option(word);
    options_.add_compiler_option(word);
}

// gcc's meaning of a word: the program's own options first, then an
// option with its argument, kept in place for the compiler.
void CommandLineParser::gcc_word(const std::string& word) {
    if (!word.starts_with('-') || word == "-") {
        gcc_file_word(word);
        return;
    }
    if (word == "-o") {
        std::string name = value(" Option -o has to be followed by a directory name or a file name");
        set_output(name);
        if (said_.output_file)
            said_.compiler_options.insert(said_.compiler_options.end(), {word, name});
        return;
    }
    std::string_view name = std::string_view(word).substr(1);
    if (!name.empty() && kOwnOptionLetters.find(name[0]) != std::string_view::npos && own_option(word, name)) {
        if (name == "cc" || name.starts_with("cc=")) compiler_given_ = true;
        return;
    }
    std::vector<std::string> option{word};
    if (gcc_takes_separate_argument(word) && next_ < words_.size()) option.push_back(words_[next_++]);
    if (word.starts_with("-x")) language_ = option.size() == 2 ? option[1] : word.substr(2);
    auto append = [&option](std::vector<std::string>& to) { to.insert(to.end(), option.begin(), option.end()); };
    if (gcc_preprocessing_option(word)) append(said_.preprocessor_options);
    if (gcc_product_option(word)) said_.compiler_product = true;
    if (word == "-E") settings_.preprocess_only = true;
    append(said_.compiler_options);
}

// A file word of gcc's command line. Launched as `qor_cc [own options]
// <compiler> <arguments>`, the first such word names the compiler.
void CommandLineParser::gcc_file_word(const std::string& word) {
    // Only C is analysed: a header compiled to a precompiled one, say, is
    // the compiler's alone.
    bool source = (language_ == "none" || language_ == "c") && word.size() >= 3 && is_source(word);
    if (!source && !compiler_given_ && !said_.compiler_command && said_.compiler_options.empty() &&
        platform::is_program(word)) {
        said_.compiler_command = word;
        return;
    }
    if (source) {
        said_.source_places.push_back(said_.compiler_options.size());
        said_.source_files.push_back(word);
    } else if (word.size() >= 5 && (word.ends_with(".sta") || word.ends_with(".mtr"))) {
        file_word(word);
        return;
    } else if (word.ends_with(".o") || (word.size() >= 5 && ends_with_icase(word, ".obj"))) {
        object_file(word);
    }
    said_.compiler_options.push_back(word);
}

bool CommandLineParser::emulated_option(std::string_view name) {
    for (const auto& entry : kEmulatedOptions) {
        if (entry.option != name) continue;
        for (auto macro : entry.macros) {
            if (!macro.empty()) said_.add_preprocessor_option(std::string(macro));
        }
        return true;
    }
    return false;
}

bool CommandLineParser::own_option(const std::string& word, std::string_view name) {
    if (name == "batch") {
        settings_.batch = true;
    } else if (name == "c") {
        said_.compile_only = true;
        compile_flag_given_ = true;
        options_.add_compiler_option(word);
    } else if (name == "cb") {
        settings_.basic_counts = true;
    } else if (name == "cc") {
        said_.compiler_command = "cc";
    } else if (name.starts_with("cc=")) {
        std::string command(name.substr(3));
        if (command.empty())
            said_.compiler_command.reset();
        else
            said_.compiler_command = command;
    } else if (name == "cppcomment") {
        settings_.cpp_comments = true;
    } else if (name == "cond") {
        said_.decision_only = false;
    } else if (name == "cacheon") {
    } else if (name == "dial") {
        select_dialect(settings_.dialect, value(" Option -dial has to be followed by a dialect name"));
        dialect_selected_ = true;
    } else if (name == "ddef") {
        said_.options_file = value(" Option -ddef has to be followed by a file name");
    } else if (name == "extensions") {
        if (next_ < words_.size()) ++next_;
    } else if (name == "help") {
        show_usage(options_);
    } else if (name == "ign") {
        said_.ignore_files.push_back(value(" Option -ign has to be followed by a file name"));
    } else if (name == "inst") {
        said_.dynamic_mode = true;
        for (int taken = 0; taken < 2 && next_ < words_.size(); ++taken) {
            const std::string& next = words_[next_];
            bool is_prefix = next.find("prefix=") != std::string::npos;
            if (!is_prefix && next.find("suffix=") == std::string::npos) break;
            std::string text = next.substr(next.find('=') + 1);
            auto& target = is_prefix ? said_.prefix : said_.suffix;
            target = text.empty() ? std::nullopt : std::optional<std::string>(text);
            (is_prefix ? settings_.prefix_given : settings_.suffix_given) = true;
            ++next_;
        }
    } else if (name == "l") {
        settings_.list_file = value(" Option -l has yo be followed by a file name");
        settings_.file_list_mode = true;
    } else if (name == "longname") {
        settings_.short_names = false;
    } else if (name == "mac") {
        std::string file = value(" Option -mac has to be followed by a file name");
        if (FILE* f = platform::open_for_reading(file)) {
            std::fclose(f);
            said_.macro_name_file = file;
        } else {
            report_errno(MSG_WARNING, file);
        }
    } else if (name == "mode=noexp") {
        settings_.macro_expansion = false;
    } else if (name == "mode=exp") {
        settings_.macro_expansion = true;
    } else if (name == "nodate") {
        settings_.no_date = true;
    } else if (name == "nowarning") {
        diagnostics().set_warnings_enabled(false);
    } else if (name == "nomtr") {
        settings_.write_mtr = false;
    } else if (name == "nocccp") {
        settings_.external_preprocessor = false;
    } else if (name == "noupdate") {
        said_.no_update = true;
    } else if (name == "o") {
        set_output(value(" Option -o has to be followed by a directory name or a file name"));
    } else if (name == "quiet") {
        settings_.quiet = true;
    } else if (name == "tcl") {
        settings_.instrumentation_script = value(" Option -tcl has to be followed by a file name");
    } else {
        return false;
    }
    return true;
}

bool CommandLineParser::is_source(std::string_view word) const {
    size_t dot = word.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string pattern = "*" + std::string(word.substr(dot)) + ";";
    const std::string& filter =
        said_.source_filter.empty() ? kDefaultSourceFilter : said_.source_filter;
    return filter.find(pattern) != std::string_view::npos;
}

void CommandLineParser::file_word(const std::string& word) {
    if (word.size() < 3)
        options_.add_compiler_option(word);
    else if (is_source(word))
        said_.source_files.push_back(word);
    else if (word.ends_with(".o"))
        object_file(word);
    else if (word.size() < 5)
        options_.add_compiler_option(word);
    else if (ends_with_icase(word, ".obj"))
        object_file(word);
    else if (word.ends_with(".sta"))
        append_unique(outputs_.sta_files, word);
    else if (word.ends_with(".mtr"))
        append_unique(outputs_.mtr_files, word);
    else
        options_.add_compiler_option(word);
}

void CommandLineParser::object_file(const std::string& word) {
    said_.object_files.push_back(word);
    std::string stem = word.substr(0, word.rfind('.') + 1);
    if (is_readable(stem + "sta")) append_unique(outputs_.sta_files, stem + "sta");
    if (is_readable(stem + "mtr")) append_unique(outputs_.mtr_files, stem + "mtr");
}

void CommandLineParser::set_output(const std::string& name) {
    if (said_.output_file || said_.output_directory)
        report_message(MSG_ERROR, " Option -o is allowed only once");
    // A name ending in a separator is a directory even when it does not
    // exist: writing the results there then reports it.
    bool directory = !name.empty() && (platform::is_directory(name) || last_separator(name) == name.size() - 1);
    if (directory)
        said_.output_directory = name;
    else
        said_.output_file = name;
}

void CommandLineParser::check_output() {
    if (!said_.output_file) return;
    // For gcc, -o with several sources names the program they link into;
    // the compiler has it in its place already.
    if (said_.gcc_command_line) {
        said_.output_file = strip_output_extension(*said_.output_file);
        return;
    }
    if (said_.source_files.size() > 1) show_usage(options_, " -o <dirname> expected, -o <filename> found");
    std::string given = *said_.output_file;
    said_.output_file = strip_output_extension(given);
    if (!said_.compiler_command || said_.output_from_fo) return;
    // Without -c the compiler links, and its output keeps the given name.
    options_.add_compiler_option("-o");
    options_.add_compiler_option(compile_flag_given_ ? object_output_name(options_) : given);
}

}  // namespace

void parse_command_line(const RunOptions& options, const std::vector<std::string>& args) {
    CommandLineParser(options).run(args);
}

std::vector<std::string> split_response_line(std::string_view line) {
    enum class State { Between, Word, Quoted, Escaped } state = State::Between;
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        bool separator = c == ' ' || c == '\t' || c == '\b';
        switch (state) {
        case State::Between:
            if (c == '"') {
                state = State::Quoted;
            } else if (!separator) {
                word = c;
                state = State::Word;
            }
            break;
        case State::Word:
            if (separator) {
                words.push_back(std::move(word));
                word.clear();
                state = State::Between;
            } else if (c == '"') {
                state = State::Quoted;
            } else {
                word += c;
            }
            break;
        case State::Quoted:
            if (c == '"') {
                state = State::Word;
            } else {
                word += c;
                if (c == '\\') state = State::Escaped;
            }
            break;
        case State::Escaped:
            word += c;
            state = State::Quoted;
            break;
        }
    }
    if (state != State::Between) words.push_back(std::move(word));
    return words;
}

std::string program_name_from_path(std::string_view path) {
    std::string_view name = last_component(path);
    return std::string(name.substr(0, name.find('.')));
}

void show_usage(const RunOptions& options, std::string_view message) {
    if (!message.empty()) report_message(MSG_ERROR, message);
    std::fprintf(stderr, "%s:\n", options.settings.program_name.c_str());
    std::string usage = executable_directory() + "/" + options.settings.program_name + ".usage";
    if (FILE* f = std::fopen(usage.c_str(), "r")) {
        for (int c; (c = std::fgetc(f)) != EOF;) std::fputc(c, stderr);
        std::fclose(f);
    } else {
        std::fputs("Sorry, no usage file available.\n", stderr);
    }
    std::fflush(stderr);
    diagnostics().exit(1);
}

}  // namespace qor
