#include "driver/source_date.hpp"

#include <cstdio>

#include "platform/files.hpp"

namespace qor {

std::string date_text(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d-%02d:%02d:%02d", local.tm_mon + 1, local.tm_mday,
                  local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string source_date_text(const std::string& source, bool no_date) {
    if (no_date) return "mm/dd/yy-hh:mm:ss";
    // A file that cannot be read gives no results, so its date is never shown.
    return date_text(platform::modification_time(source).value_or(0));
}

}  // namespace qor
