// The line map of an instrumented file: for each line of code of each
// instrumented function, how its execution count follows from the probe
// counts. The analysis writes it beside the archive; the report reads it
// to give every line with code a count.
//
// Text form, one item per line:
//   qor-lines 1
//   D <the archive's date text>
//   F <line> <name>           a function, as the archive names it
//   <line> <sum> [<sum>...]   a line of the function's file
// A sum is terms joined by '+': a branch number (1 is the entry) or 'x'
// (the function's exits); "0" is the empty sum, a line no path runs. A
// line with several sums holds code of several regions and counts the
// largest of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// A term of a sum: a branch number, or kExits.
inline constexpr int kExits = 0;

using CountSum = std::vector<int>;

struct MappedLine {
    int line = 0;
    std::vector<CountSum> sums;
};

struct FunctionLines {
    std::string name;
    int line = 0;
    std::vector<MappedLine> lines;  // by line
};

struct LineMap {
    std::string date;
    std::vector<FunctionLines> functions;
};

std::string line_map_text(const LineMap& map);

// The map of a text, or the line number (from 1) of its first malformed line.
struct LineMapResult {
    std::optional<LineMap> map;
    int error_line = 0;
};
LineMapResult parse_line_map(std::string_view text);

// The line map that goes with an archive: "a.sta" -> "a.lines".
std::string line_map_name(std::string_view archive);

}  // namespace qor
