#include "metrics_rows.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <tuple>

#include "foundation/metric_names.hpp"
#include "archive_reader.hpp"
#include "foundation/diagnostics.hpp"
#include "input_files.hpp"
#include "results_reader.hpp"
#include "value_notation.hpp"

namespace qor::report {

namespace {

namespace fs = std::filesystem;

struct Alias {
    const char* word;
    const char* metric;
};

constexpr Alias kAliases[] = {
    {"statements", "STMT"}, {"paths", "PATH"},      {"calls", "CALL_PATHS"}, {"comments", "BCOM"},
    {"returns", "RETU"},    {"gotos", "GOTO"},      {"parameters", "PARA"},  {"nesting", "LEVL"},
    {"variables", "LVAR"},  {"density", "COMF"},
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string stem_of(const std::string& path) { return (fs::path(path).parent_path() / fs::path(path).stem()).string(); }

std::string location_of(const std::string& file, const std::string& results_file,
                        const std::vector<std::string>& source_dirs) {
    return find_source(file, results_file, source_dirs).value_or(file);
}

void add_results(std::vector<MetricsRow>& rows, const std::string& path, const std::string& text,
                 const std::vector<std::string>& source_dirs) {
    for (const ComponentMetrics& component : read_results(text)) {
        MetricsRow row{component.file, location_of(component.file, path, source_dirs), component.name,
                       component.line, {}};
        for (const auto& [metric, value] : component.values) row.values.emplace(metric, value);
        rows.push_back(std::move(row));
    }
}

// An archive holds the statements, the Halstead counts, the comment blocks
// and the callees of each component.
void add_archive(std::vector<MetricsRow>& rows, const std::string& path, const std::string& text,
                 const std::vector<std::string>& source_dirs) {
    static const std::pair<const char*, const char*> kCounters[] = {
        {"INST", "STMT"}, {"COMM", "BCOM"}, {"OOPT", "N1"}, {"OPET", "n1"}, {"OOPN", "N2"}, {"OPEN", "n2"}};
    for (const ArchiveComponent& component : read_archive(text).components) {
        MetricsRow row{component.file, location_of(component.file, path, source_dirs), component.name,
                       component.line, {}};
        for (const auto& [counter, metric] : kCounters)
            if (auto found = component.counters.find(counter); found != component.counters.end())
                row.values[metric] = static_cast<double>(found->second);
        row.values["CALL_PATHS"] = static_cast<double>(component.callees.size());
        rows.push_back(std::move(row));
    }
}

}  // namespace

std::optional<double> MetricsRow::value(const std::string& metric) const {
    if (metric == "COMF") return comment_density(*this);
    auto found = values.find(metric);
    if (found == values.end()) return std::nullopt;
    return found->second;
}

const std::vector<std::string>& metric_names() {
    // The stored metrics, then the comment density worked out from them.
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all(kMetricNames.begin(), kMetricNames.end());
        all.push_back("COMF");
        return all;
    }();
    return names;
}

const std::vector<std::string>& table_metrics() {
    static const std::vector<std::string> names{"STMT", "VG",   "LEVL", "PATH", "N1",   "n1",   "N2",
                                                "n2",   "CALL", "CALL_PATHS", "BCOM", "BCOB", "COMF", "RETU",
                                                "GOTO", "PARA"};
    return names;
}

std::string metric_title(const std::string& metric) {
    static const std::map<std::string, std::string> titles{
        {"STMT", "statements"},
        {"VG", "cyclomatic number v(G)"},
        {"LEVL", "nesting level"},
        {"PATH", "paths"},
        {"N1", "operator occurrences"},
        {"n1", "distinct operators"},
        {"N2", "operand occurrences"},
        {"n2", "distinct operands"},
        {"CALL", "calls"},
        {"CALL_PATHS", "called functions"},
        {"BCOM", "comment blocks inside"},
        {"BCOB", "comment blocks before"},
        {"COMF", "comment density"},
        {"RETU", "return statements"},
        {"GOTO", "goto statements"},
        {"PARA", "parameters"},
        {"LVAR", "local variables"},
        {"lc_line", "lines"},
    };
    auto found = titles.find(metric);
    return found == titles.end() ? metric : found->second;
}

std::optional<double> comment_density(const MetricsRow& row) {
    auto inside = row.values.find("BCOM");
    auto before = row.values.find("BCOB");
    auto statements = row.values.find("STMT");
    if (inside == row.values.end() || statements == row.values.end() || statements->second <= 0)
        return std::nullopt;
    double comments = inside->second + (before == row.values.end() ? 0 : before->second);
    return comments / statements->second;
}

namespace {

std::vector<MetricsRow> merged_by_component(std::vector<MetricsRow> rows) {
    std::vector<MetricsRow> merged;
    std::map<std::tuple<std::string, std::string, int>, size_t> places;
    for (MetricsRow& row : rows) {
        auto [place, added] = places.emplace(std::tuple{row.location, row.name, row.line}, merged.size());
        if (added) {
            merged.push_back(std::move(row));
            continue;
        }
        MetricsRow& first = merged[place->second];
        ++first.units;
        first.measured_differently = first.measured_differently || first.values != row.values;
    }
    return merged;
}

}  // namespace

std::vector<MetricsRow> load_metrics(const std::vector<std::string>& files,
                                     const std::vector<std::string>& source_dirs) {
    std::set<std::string> results_stems;
    for (const std::string& file : files)
        if (has_extension(file, ".mtr")) results_stems.insert(stem_of(file));
    std::vector<MetricsRow> rows;
    for (const std::string& file : files) {
        bool archive = has_extension(file, ".sta");
        if (archive && results_stems.count(stem_of(file))) continue;
        std::optional<std::string> text = read_text(file);
        if (!text) continue;
        try {
            if (archive)
                add_archive(rows, file, *text, source_dirs);
            else
                add_results(rows, file, *text, source_dirs);
        } catch (const SyntaxError& error) {
            report_at(MSG_ERROR, file, error.line, error.what());
        }
    }
    return merged_by_component(std::move(rows));
}

std::optional<std::string> column_named(const std::string& word) {
    if (word == "file" || word == "name" || word == "line") return word;
    const auto& names = metric_names();
    if (std::find(names.begin(), names.end(), word) != names.end()) return word;
    for (const Alias& alias : kAliases)
        if (lower(word) == alias.word) return std::string(alias.metric);
    std::optional<std::string> found;
    for (const std::string& name : names) {
        if (lower(name) != lower(word)) continue;
        if (found) return std::nullopt;  // N1 and n1: the case decides
        found = name;
    }
    return found;
}

void sort_rows(std::vector<MetricsRow>& rows, const std::string& column, bool reverse) {
    auto before = [&](const MetricsRow& a, const MetricsRow& b) {
        if (column == "file" || column == "name") {
            const std::string& x = column == "file" ? a.file : a.name;
            const std::string& y = column == "file" ? b.file : b.name;
            return reverse ? y < x : x < y;
        }
        if (column == "line") return reverse ? b.line < a.line : a.line < b.line;
        std::optional<double> x = a.value(column), y = b.value(column);
        if (!x || !y) return x.has_value() && !y.has_value();
        return reverse ? *x < *y : *x > *y;
    };
    std::stable_sort(rows.begin(), rows.end(), [](const MetricsRow& a, const MetricsRow& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    std::stable_sort(rows.begin(), rows.end(), before);
}

std::string format_value(std::optional<double> value) {
    if (!value) return "-";
    if (*value == std::trunc(*value) && std::fabs(*value) < 1e15)
        return std::to_string(static_cast<long long>(*value));
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *value);
    return text;
}

std::string cell(const MetricsRow& row, const std::string& column) {
    if (column == "file") return row.file;
    if (column == "name") return row.name;
    if (column == "line") return std::to_string(row.line);
    return format_value(row.value(column));
}

}  // namespace qor::report
