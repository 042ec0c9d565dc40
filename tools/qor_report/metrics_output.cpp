#include "metrics_output.hpp"

#include <algorithm>
#include <cctype>
#include <set>

#include "json_writer.hpp"

namespace qor::report {

namespace {

std::vector<std::string> table_columns() {
    std::vector<std::string> columns{"file", "name", "line"};
    const auto& metrics = table_metrics();
    columns.insert(columns.end(), metrics.begin(), metrics.end());
    return columns;
}

bool left_aligned(const std::string& column) { return column == "file" || column == "name"; }

void pad(std::string& out, const std::string& text, size_t width, bool left) {
    if (!left) out.append(width - std::min(width, text.size()), ' ');
    out += text;
    if (left) out.append(width - std::min(width, text.size()), ' ');
}

// A path as a relative or absolute URI reference: bytes other than the
// unreserved ones and '/' are percent-encoded.
std::string uri_of(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string rule_text(const Threshold& threshold) {
    return metric_title(threshold.metric) + (threshold.at_most ? " at most " : " at least ") +
           format_value(threshold.limit);
}

}  // namespace

std::string metrics_text(const std::vector<MetricsRow>& rows, size_t violations) {
    std::vector<std::string> columns = table_columns();
    std::vector<std::vector<std::string>> cells{columns};
    for (const MetricsRow& row : rows) {
        std::vector<std::string> line;
        for (const std::string& column : columns) line.push_back(cell(row, column));
        cells.push_back(std::move(line));
    }
    std::vector<size_t> widths(columns.size(), 0);
    for (const auto& line : cells)
        for (size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], line[c].size());
    std::string out;
    for (const auto& line : cells) {
        std::string text;
        for (size_t c = 0; c < line.size(); ++c) {
            if (c > 0) text += "  ";
            pad(text, line[c], c + 1 == line.size() && left_aligned(columns[c]) ? 0 : widths[c],
                left_aligned(columns[c]));
        }
        out += text.substr(0, text.find_last_not_of(' ') + 1) + '\n';
    }
    std::set<std::string> files;
    for (const MetricsRow& row : rows) files.insert(row.file);
    out += std::to_string(rows.size()) + " component(s) in " + std::to_string(files.size()) + " file(s), " +
           std::to_string(violations) + " threshold violation(s)\n";
    auto several_units = [](const MetricsRow& row) { return row.units > 1; };
    size_t shared = static_cast<size_t>(std::count_if(rows.begin(), rows.end(), several_units));
    if (shared > 0)
        out += "Note: " + std::to_string(shared) + " component(s) measured in several units are listed once\n";
    for (const MetricsRow& row : rows)
        if (row.measured_differently)
            out += "Note: " + row.location + ":" + std::to_string(row.line) + ": " + row.name + ": the " +
                   std::to_string(row.units) + " units measured it differently; the first unit's values are shown\n";
    return out;
}

std::string csv_cell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string metrics_csv(const std::vector<MetricsRow>& rows) {
    std::string out = "file,name,line";
    for (const std::string& metric : metric_names()) out += "," + csv_cell(metric);
    out += "\r\n";
    for (const MetricsRow& row : rows) {
        out += csv_cell(row.file) + "," + csv_cell(row.name) + "," + std::to_string(row.line);
        for (const std::string& metric : metric_names()) {
            std::optional<double> value = row.value(metric);
            out += "," + (value ? format_value(value) : "");
        }
        out += "\r\n";
    }
    return out;
}

std::string metrics_json(const std::vector<MetricsRow>& rows, const std::vector<Threshold>& thresholds,
                         const std::vector<Violation>& violations) {
    JsonWriter json;
    json.begin_object();
    json.begin_array("components");
    for (const MetricsRow& row : rows) {
        json.begin_object();
        json.text("file", row.file);
        json.text("name", row.name);
        json.integer("line", row.line);
        json.integer("units", row.units);
        if (row.measured_differently) json.boolean("measured_differently", true);
        json.begin_object("metrics");
        for (const std::string& metric : metric_names())
            if (std::optional<double> value = row.value(metric)) json.number(metric, *value);
        json.end_object();
        json.begin_array("violations");
        for (const Violation& violation : violations)
            if (violation.row == &row) json.text("", violation.threshold->key);
        json.end_array();
        json.end_object();
    }
    json.end_array();
    json.begin_array("thresholds");
    for (const Threshold& threshold : thresholds) {
        if (!threshold.enabled) continue;
        json.begin_object();
        json.text("key", threshold.key);
        json.text("metric", threshold.metric);
        json.text("limit", threshold.at_most ? "at most" : "at least");
        json.number("value", threshold.limit);
        json.end_object();
    }
    json.end_array();
    json.begin_array("violations");
    for (const Violation& violation : violations) {
        json.begin_object();
        json.text("file", violation.row->location);
        json.integer("line", violation.row->line);
        json.text("name", violation.row->name);
        json.text("threshold", violation.threshold->key);
        json.number("value", violation.value);
        json.text("message", violation.text());
        json.end_object();
    }
    json.end_array();
    json.end_object();
    return json.finish();
}

std::string violations_sarif(const std::vector<Threshold>& thresholds, const std::vector<Violation>& violations) {
    JsonWriter json;
    json.begin_object();
    json.text("$schema", "https://json.schemastore.org/sarif-2.1.0.json");
    json.text("version", "2.1.0");
    json.begin_array("runs");
    json.begin_object();
    json.begin_object("tool");
    json.begin_object("driver");
    json.text("name", "qor_report");
    json.begin_array("rules");
    for (const Threshold& threshold : thresholds) {
        if (!threshold.enabled) continue;
        json.begin_object();
        json.text("id", threshold.key);
        json.begin_object("shortDescription");
        json.text("text", rule_text(threshold));
        json.end_object();
        json.end_object();
    }
    json.end_array();
    json.end_object();
    json.end_object();
    json.begin_array("results");
    for (const Violation& violation : violations) {
        json.begin_object();
        json.text("ruleId", violation.threshold->key);
        json.text("level", "warning");
        json.begin_object("message");
        json.text("text", violation.row->name + ": " + violation.text());
        json.end_object();
        json.begin_array("locations");
        json.begin_object();
        json.begin_object("physicalLocation");
        json.begin_object("artifactLocation");
        json.text("uri", uri_of(violation.row->location));
        json.end_object();
        json.begin_object("region");
        json.integer("startLine", std::max(1, violation.row->line));
        json.end_object();
        json.end_object();
        json.begin_array("logicalLocations");
        json.begin_object();
        json.text("name", violation.row->name);
        json.text("kind", "function");
        json.end_object();
        json.end_array();
        json.end_object();
        json.end_array();
        json.end_object();
    }
    json.end_array();
    json.end_object();
    json.end_array();
    json.end_object();
    return json.finish();
}

}  // namespace qor::report
