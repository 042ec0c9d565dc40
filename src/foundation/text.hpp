// String helpers shared by the whole program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qor {

std::string to_upper(std::string_view s);
std::string to_lower(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
bool ends_with_icase(std::string_view s, std::string_view suffix);
// The text without the blanks, tabs and carriage returns at its ends.
std::string_view trim_blanks(std::string_view text);
// The value of a text that is all decimal digits and fits an int; nullopt
// for anything else (a sign, a blank, nothing).
std::optional<int> whole_number(std::string_view text);

// How a path's last directory separator is found.
enum class SeparatorRule {
    Latest,              // the later of the last '/' and the last '\'
    SlashThenBackslash,  // the last '/'; the last '\' only when there is no '/'
};
// Position of the path's last separator by `rule`, or npos.
size_t last_separator(std::string_view path, SeparatorRule rule = SeparatorRule::Latest);
// The text after the last '/' or '\' (the whole name when there is none).
std::string_view last_component(std::string_view path);
// The text up to and including the last '/' or '\' ("" when there is none).
std::string_view directory_part(std::string_view path);
// Every "//" reduced to one '/'.
std::string reduce_double_slashes(std::string_view path);

// The text in double quotes, with each double quote and backslash in it
// escaped by a backslash.
std::string quoted_escaped(std::string_view text);

// The value in decimal in at most `width` characters: "%ld" when it fits,
// else a one-digit mantissa and exponent ("1e5"), else `width` asterisks.
std::string str_format_int(long value, int width);

}  // namespace qor
