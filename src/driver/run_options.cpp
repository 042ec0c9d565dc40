#include "driver/run_options.hpp"

namespace qor {

namespace {

// Each word followed by a blank, in double quotes when it holds one of
// `quote_when`.
std::string joined(const std::vector<std::string>& words, const char* quote_when) {
    std::string out;
    for (const auto& word : words) {
        out += word.find_first_of(quote_when) != std::string::npos ? "\"" + word + "\"" : word;
        out += ' ';
    }
    return out;
}

}  // namespace

void RunOptions::add_preprocessor_option(const std::string& text) {
    // The list keeps the words as given; the quotes a blank calls for are
    // added where the options are written as text.
    preprocessor_options.push_back(text);
}

void RunOptions::add_compiler_option(const std::string& text) {
    if (text.size() >= 3 && text[0] == '-' && (text.compare(1, 2, "Yu") == 0 || text.compare(1, 2, "Yc") == 0)) {
        std::string header = text.size() > 3 ? text.substr(3) : "stdwin.h";
        (text[2] == 'u' ? pch_use : pch_create) = header;
        return;
    }
    compiler_options.push_back(text);
}

std::string RunOptions::compiler_options_text() const { return joined(compiler_options, " "); }

std::string RunOptions::preprocessor_options_text() const { return joined(preprocessor_options, " \t"); }

void RunOptions::reset_option_state() {
    source_files.clear();
    object_files.clear();
    sta_files.clear();
    mtr_files.clear();
    instrumented_sources.clear();
    dck_files.clear();
    options_file.reset();
    macro_name_file.reset();
    compiler_command.reset();
    compiler_options.clear();
    output_file.reset();
    output_directory.reset();
    preprocessor_options.clear();
    prefix.reset();
    suffix.reset();
    ignore_files.clear();
}

}  // namespace qor
