#include "driver/run_settings.hpp"

#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace qor {

namespace {

// The variable's value; none when it is unset or empty.
const char* non_empty(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

std::vector<std::string> cache_candidates() {
    std::vector<std::string> candidates;
    if (const char* xdg = non_empty("XDG_CACHE_HOME")) candidates.push_back(std::string(xdg) + "/qor_cc");
    if (const char* home = non_empty("HOME")) candidates.push_back(std::string(home) + "/.cache/qor_cc");
    const char* tmp = non_empty("TMPDIR");
    candidates.push_back(std::string(tmp ? tmp : "/tmp") + "/qor_cc-cache-" + std::to_string(::getuid()));
    return candidates;
}

}  // namespace

RunSettings RunSettings::from_environment() {
    RunSettings settings;
    settings.quiet = std::getenv("QOR_CC_QUIET") != nullptr;
    settings.options_file_variable = std::getenv("QOR_CC_DEF") != nullptr;
    settings.remove_failed_outputs = std::getenv("QOR_CC_NO_DEL") == nullptr;
    settings.include_syntax_warning = std::getenv("QOR_CC_INC_WARN") != nullptr;
    if (const char* form = std::getenv("QOR_NEWRES")) {
        std::string_view value(form);
        settings.new_results = value != "old" && value != "OLD";
    }
    settings.answer_cache_directories = cache_candidates();
    return settings;
}

}  // namespace qor
