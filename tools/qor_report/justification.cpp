#include "justification.hpp"

#include <utility>

namespace qor::report {

namespace {

constexpr std::pair<const char*, unsigned> kWords[] = {
    {"line", kJustifyLines}, {"branch", kJustifyBranches}, {"mcdc", kJustifyConditions}, {"all", kJustifyAll}};

}  // namespace

std::optional<unsigned> parse_criteria(std::string_view words) {
    unsigned criteria = 0;
    while (true) {
        size_t comma = words.find(',');
        std::string_view word = words.substr(0, comma);
        unsigned bits = 0;
        for (const auto& [name, value] : kWords)
            if (word == name) bits = value;
        if (bits == 0) return std::nullopt;
        criteria |= bits;
        if (comma == std::string_view::npos) return criteria;
        words.remove_prefix(comma + 1);
    }
}

std::string criteria_text(unsigned criteria) {
    if (criteria == kJustifyAll) return "all";
    std::string out;
    for (const auto& [name, value] : kWords)
        if (value != kJustifyAll && (criteria & value)) out += (out.empty() ? "" : ",") + std::string(name);
    return out;
}

std::string item_text(const JustifiedItem& item) {
    std::string on_line = "line " + std::to_string(item.line);
    switch (item.kind) {
        case JustifiedItem::Kind::Line: return on_line;
        case JustifiedItem::Kind::Branch:
            return "branch " + std::to_string(item.number) + " (" + item.text + ") on " + on_line;
        case JustifiedItem::Kind::Condition:
            return "condition c" + std::to_string(item.number) + " (" + item.text + ") on " + on_line;
    }
    return on_line;
}

std::string status_text(const JustifiedItem& item) {
    auto status = [](bool covered) { return covered ? "covered" : "justified"; };
    if (item.kind != JustifiedItem::Kind::Condition) return status(item.covered);
    return std::string("unique-cause ") + status(item.unique_cause) + ", masking " + status(item.masking);
}

std::string lines_text(const Justification& j) {
    if (j.first <= 1 && j.last == INT_MAX) return "*";
    return std::to_string(j.first) + (j.last > j.first ? "-" + std::to_string(j.last) : "");
}

std::string scope_text(const Justification& j) {
    std::string lines = lines_text(j);
    std::string out = lines == "*" ? "every line" : (j.last > j.first ? "lines " : "line ") + lines;
    if (j.function != "*") out += " of " + j.function;
    if (!j.marker) out += " in files matching '" + j.file + "'";
    return out;
}

}  // namespace qor::report
