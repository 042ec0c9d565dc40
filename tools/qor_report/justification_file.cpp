// The justification file: the justifications of code whose source may not
// carry markers, one a line in tab-separated fields.

#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"
#include "justification.hpp"

namespace qor::report {

namespace {

// The fields of a line: tabs part them, the last takes the rest.
std::vector<std::string_view> fields(std::string_view line, size_t count) {
    std::vector<std::string_view> out;
    while (out.size() + 1 < count) {
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        out.push_back(trim_blanks(line.substr(0, tab)));
        line.remove_prefix(tab + 1);
    }
    out.push_back(trim_blanks(line));
    return out;
}

std::optional<int> line_number(std::string_view text) {
    std::optional<int> value = whole_number(text);
    if (!value || *value < 1) return std::nullopt;
    return value;
}

// ITEM: a line, FIRST-LAST, or * for every line.
bool parse_lines(std::string_view item, Justification& j) {
    if (item == "*") return true;
    size_t dash = item.find('-');
    std::optional<int> first = line_number(item.substr(0, dash));
    std::optional<int> last = dash == std::string_view::npos ? first : line_number(item.substr(dash + 1));
    if (!first || !last || *last < *first) return false;
    j.first = *first;
    j.last = *last;
    return true;
}

// The justification of one line, or the reason it is malformed.
std::string parse_entry(std::string_view line, Justification& j) {
    std::vector<std::string_view> f = fields(line, 5);
    if (f.size() < 5)
        return "expected 5 tab-separated fields (file, function, item, criteria, reason), found " +
               std::to_string(f.size());
    if (f[0].empty()) return "the file field is empty (a name or pattern, * for every file)";
    if (f[1].empty()) return "the function field is empty (a name, * for every function)";
    if (!parse_lines(f[2], j)) return "bad item '" + std::string(f[2]) + "' (a line, FIRST-LAST or *)";
    std::optional<unsigned> criteria = parse_criteria(f[3]);
    if (!criteria) return "unknown criterion '" + std::string(f[3]) + "' (" + kCriterionWords + ")";
    if (f[4].empty()) return "the justification gives no reason";
    j.file = f[0];
    j.function = f[1];
    j.criteria = *criteria;
    j.reason = f[4];
    return "";
}

}  // namespace

std::vector<Justification> read_justification_file(std::string_view text, const std::string& path) {
    std::vector<Justification> out;
    int number = 0;
    while (!text.empty()) {
        size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (trim_blanks(line).empty() || trim_blanks(line).starts_with('#')) continue;
        Justification j;
        j.origin = path;
        j.origin_line = number;
        if (std::string error = parse_entry(line, j); !error.empty())
            report_at(MSG_ERROR, path, number, error);
        else
            out.push_back(std::move(j));
    }
    return out;
}

}  // namespace qor::report
