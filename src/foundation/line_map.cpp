#include "foundation/line_map.hpp"

#include "foundation/text.hpp"

namespace qor {

namespace {

constexpr std::string_view kHeader = "qor-lines 1";

std::string sum_text(const CountSum& sum) {
    if (sum.empty()) return "0";
    std::string text;
    for (int term : sum) {
        if (!text.empty()) text += '+';
        text += term == kExits ? std::string("x") : std::to_string(term);
    }
    return text;
}

std::optional<CountSum> parse_sum(std::string_view text) {
    CountSum sum;
    if (text == "0") return sum;
    while (!text.empty()) {
        size_t plus = text.find('+');
        std::string_view term = text.substr(0, plus);
        if (term == "x") {
            sum.push_back(kExits);
        } else {
            std::optional<int> branch = whole_number(term);
            if (!branch || *branch == 0) return std::nullopt;
            sum.push_back(*branch);
        }
        if (plus == std::string_view::npos) break;
        text.remove_prefix(plus + 1);
        if (text.empty()) return std::nullopt;
    }
    return sum;
}

// The words of a line, split at blanks.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

// One line of the text after the header; false when it is malformed.
bool parse_item(std::string_view line, LineMap& map) {
    if (line.starts_with("D ")) {
        map.date = std::string(line.substr(2));
        return true;
    }
    if (line.starts_with("F ")) {
        std::string_view rest = line.substr(2);
        size_t blank = rest.find(' ');
        std::optional<int> at = whole_number(rest.substr(0, blank));
        if (!at || blank == std::string_view::npos || blank + 1 == rest.size()) return false;
        map.functions.push_back({std::string(rest.substr(blank + 1)), *at, {}});
        return true;
    }
    std::vector<std::string_view> parts = words(line);
    if (map.functions.empty() || parts.size() < 2) return false;
    std::optional<int> at = whole_number(parts[0]);
    if (!at) return false;
    MappedLine mapped{*at, {}};
    for (size_t i = 1; i < parts.size(); ++i) {
        std::optional<CountSum> sum = parse_sum(parts[i]);
        if (!sum) return false;
        mapped.sums.push_back(std::move(*sum));
    }
    map.functions.back().lines.push_back(std::move(mapped));
    return true;
}

}  // namespace

std::string line_map_text(const LineMap& map) {
    std::string out = std::string(kHeader) + "\nD " + map.date + "\n";
    for (const FunctionLines& function : map.functions) {
        out += "F " + std::to_string(function.line) + " " + function.name + "\n";
        for (const MappedLine& line : function.lines) {
            out += std::to_string(line.line);
            for (const CountSum& sum : line.sums) out += " " + sum_text(sum);
            out += "\n";
        }
    }
    return out;
}

LineMapResult parse_line_map(std::string_view text) {
    LineMap map;
    int number = 0;
    bool header = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        bool ok = header ? parse_item(line, map) : line == kHeader;
        if (!ok) return {std::nullopt, number};
        header = true;
    }
    if (!header) return {std::nullopt, 1};
    return {std::move(map), 0};
}

std::string line_map_name(std::string_view archive) {
    std::string_view stem = archive.ends_with(".sta") ? archive.substr(0, archive.size() - 4) : archive;
    return std::string(stem) + ".lines";
}

}  // namespace qor
