#include "driver/options_file.hpp"

#include <cstdio>

#include "foundation/file_lookup.hpp"

namespace qor {

std::optional<std::string> locate_options_file(Run& run) {
    RunOptions& options = run.options;
    std::string file_name = options.dialect.file_stem() + ".def";
    auto found = find_config_file(options.options_file, "QOR_CC_DEF", file_name, true, true, "$QOR_UTIL");
    if (found) {
        if (!options.options_file) options.options_file = *found;
    } else {
        found = find_in_installation(1, file_name);
        if (!found) {
            std::fprintf(stderr, "warning : Unable to locate %s.def file\n", options.dialect.file_stem().c_str());
            std::fflush(stderr);
            return std::nullopt;
        }
        options.options_file = *found;
    }
    if (!run.options_file_announced) {
        std::printf("qor_cc : using default options file : %s\n", found->c_str());
        std::fflush(stdout);
        run.options_file_announced = true;
    }
    return found;
}

}  // namespace qor
