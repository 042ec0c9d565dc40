#include "driver/run_options.hpp"

namespace qor {

void RunOptions::add_compiler_option(const std::string& text) {
    if (text.size() >= 3 && text[0] == '-' && (text.compare(1, 2, "Yu") == 0 || text.compare(1, 2, "Yc") == 0)) {
        std::string header = text.size() > 3 ? text.substr(3) : "stdwin.h";
        (text[2] == 'u' ? pch_use : pch_create) = header;
        return;
    }
    compiler_options.push_back(text);
}

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
    source_places.clear();
    output_file.reset();
    output_directory.reset();
    preprocessor_options.clear();
    prefix.reset();
    suffix.reset();
    ignore_files.clear();
}

}  // namespace qor
