#include "metrics_html.hpp"

#include <algorithm>
#include <set>

#include "html_page.hpp"

namespace qor::report {

namespace {

constexpr std::string_view kStyle =
    "td.violation{background:#f8d7da;font-weight:bold}"
    ".charts{display:flex;gap:2em;flex-wrap:wrap}svg text{font-size:11px;font-family:sans-serif}";

std::string table_html(const std::vector<MetricsRow>& rows, const std::vector<Violation>& violations) {
    std::set<std::pair<const MetricsRow*, std::string>> broken;
    for (const Violation& violation : violations) broken.insert({violation.row, violation.threshold->metric});
    std::string out = "<table class=\"sortable\" id=\"metrics\">\n<thead><tr>";
    out += "<th data-type=\"text\">file</th><th data-type=\"text\">name</th><th data-type=\"number\">line</th>";
    for (const std::string& metric : table_metrics())
        out += "<th data-type=\"number\" title=\"" + html_escaped(metric_title(metric)) + "\">" +
               html_escaped(metric) + "</th>";
    out += "</tr></thead>\n<tbody>\n";
    for (const MetricsRow& row : rows) {
        out += "<tr><td data-value=\"" + html_escaped(row.file) + "\">" + html_escaped(row.file) + "</td>";
        out += "<td data-value=\"" + html_escaped(row.name) + "\">" + html_escaped(row.name) + "</td>";
        out += "<td class=\"num\" data-value=\"" + std::to_string(row.line) + "\">" + std::to_string(row.line) + "</td>";
        for (const std::string& metric : table_metrics()) {
            std::optional<double> value = row.value(metric);
            std::string css = broken.count({&row, metric}) ? "num violation" : "num";
            out += "<td class=\"" + css + "\" data-value=\"" + (value ? format_value(*value) : "") + "\">" +
                   format_value(value) + "</td>";
        }
        out += "</tr>\n";
    }
    return out + "</tbody>\n</table>\n";
}

std::string violations_html(const std::vector<Violation>& violations) {
    if (violations.empty()) return "<p>No threshold is broken.</p>\n";
    std::string out = "<ul id=\"violations\">\n";
    for (const Violation& violation : violations)
        out += "<li><code>" + html_escaped(violation.row->location) + ":" + std::to_string(violation.row->line) +
               "</code> " + html_escaped(violation.row->name) + ": " + html_escaped(violation.text()) + " [" +
               html_escaped(violation.threshold->key) + "]</li>\n";
    return out + "</ul>\n";
}

double limit_of(const std::vector<Threshold>& thresholds, const std::string& metric) {
    for (const Threshold& threshold : thresholds)
        if (threshold.enabled && threshold.metric == metric && threshold.at_most) return threshold.limit;
    return 0;
}

std::vector<double> values_of(const std::vector<MetricsRow>& rows, const std::string& metric) {
    std::vector<double> out;
    for (const MetricsRow& row : rows)
        if (std::optional<double> value = row.value(metric)) out.push_back(*value);
    return out;
}

}  // namespace

std::string histogram_svg(const std::string& title, const std::vector<double>& values,
                          const std::vector<double>& bounds, double limit) {
    std::vector<size_t> counts(bounds.size() + 1, 0);
    for (double value : values)
        ++counts[std::lower_bound(bounds.begin(), bounds.end(), value) - bounds.begin()];
    size_t highest = std::max<size_t>(1, *std::max_element(counts.begin(), counts.end()));
    const int bar = 36, gap = 6, height = 150, top = 24, base = top + height;
    int width = static_cast<int>(counts.size()) * (bar + gap) + gap;
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" + std::to_string(width) +
                      "\" height=\"" + std::to_string(base + 34) + "\"><title>" + html_escaped(title) +
                      "</title>\n<text x=\"" + std::to_string(gap) + "\" y=\"14\" font-weight=\"bold\">" +
                      html_escaped(title) + "</text>\n";
    double previous = 0;
    for (size_t i = 0; i < counts.size(); ++i) {
        int x = gap + static_cast<int>(i) * (bar + gap);
        int h = static_cast<int>(height * counts[i] / highest);
        bool over = limit > 0 && i > 0 && previous >= limit;  // every value of the bin breaks it
        std::string label = i == bounds.size() ? ">" + format_value(previous)
                            : i == 0 ? "\u2264" + format_value(bounds[0])
                                     : format_value(previous + 1) + "\u2013" + format_value(bounds[i]);
        out += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(base - h) + "\" width=\"" +
               std::to_string(bar) + "\" height=\"" + std::to_string(h) + "\" fill=\"" +
               (over ? "#d9534f" : "#5b8def") + "\"><title>" + html_escaped(label) + ": " +
               std::to_string(counts[i]) + "</title></rect>\n";
        out += "<text x=\"" + std::to_string(x + bar / 2) + "\" y=\"" + std::to_string(base - h - 3) +
               "\" text-anchor=\"middle\">" + std::to_string(counts[i]) + "</text>\n";
        out += "<text x=\"" + std::to_string(x + bar / 2) + "\" y=\"" + std::to_string(base + 14) +
               "\" text-anchor=\"middle\">" + html_escaped(label) + "</text>\n";
        if (i < bounds.size()) previous = bounds[i];
    }
    return out + "</svg>\n";
}

std::string metrics_html(const std::vector<MetricsRow>& rows, const std::vector<Threshold>& thresholds,
                         const std::vector<Violation>& violations) {
    std::string body = "<h1>Metrics</h1>\n<p>" + std::to_string(rows.size()) + " component(s), " +
                       std::to_string(violations.size()) +
                       " threshold violation(s). Click a column's header to sort by it.</p>\n";
    body += "<div class=\"charts\">\n";
    body += histogram_svg("v(G) per component", values_of(rows, "VG"), {1, 2, 5, 10, 20, 50}, limit_of(thresholds, "VG"));
    body += histogram_svg("statements per component", values_of(rows, "STMT"), {5, 10, 20, 50, 100, 200},
                          limit_of(thresholds, "STMT"));
    body += "</div>\n<h2>Components</h2>\n" + table_html(rows, violations);
    body += "<h2>Threshold violations</h2>\n" + violations_html(violations);
    return html_document("Metrics", std::string(kSortableStyle) + std::string(kStyle), body, kSortableScript);
}

}  // namespace qor::report
