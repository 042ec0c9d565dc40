// The date text that the archive gives every component of a source file.
#pragma once

#include <ctime>
#include <string>

namespace qor {

// "mm/dd/yy-hh:mm:ss" in local time.
std::string date_text(std::time_t time);

// The source file's modification time as a date text, or the fixed text
// "mm/dd/yy-hh:mm:ss" when dates are turned off.
std::string source_date_text(const std::string& source, bool no_date);

}  // namespace qor
