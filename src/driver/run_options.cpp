#include "driver/run_options.hpp"

namespace qor {

void RunOptions::add_compiler_option(const std::string& text) const {
    if (text.size() >= 3 && text[0] == '-' && (text.compare(1, 2, "Yu") == 0 || text.compare(1, 2, "Yc") == 0)) {
        std::string header = text.size() > 3 ? text.substr(3) : "stdwin.h";
        (text[2] == 'u' ? settings.pch_use : settings.pch_create) = header;
        return;
    }
    said.compiler_options.push_back(text);
}

}  // namespace qor
