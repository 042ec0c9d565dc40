// The metrics report: columns by name, sorting, thresholds and their
// settings, violations, and the text, CSV, JSON, SARIF and HTML forms.
#include <gtest/gtest.h>

#include "metrics_html.hpp"
#include "metrics_output.hpp"
#include "metrics_rows.hpp"
#include "thresholds.hpp"

namespace qor::report {
namespace {

MetricsRow row(const std::string& file, const std::string& name, int line, std::map<std::string, double> values) {
    return {file, file, name, line, std::move(values)};
}

std::vector<MetricsRow> sample() {
    return {row("b.c", "big", 10, {{"VG", 12}, {"STMT", 60}, {"BCOM", 2}, {"BCOB", 4}, {"GOTO", 1}}),
            row("a.c", "small", 3, {{"VG", 2}, {"STMT", 4}, {"BCOM", 1}, {"BCOB", 0}}),
            row("a,\"c", "odd", 1, {{"STMT", 0}, {"BCOM", 0}})};
}

TEST(MetricsRows, ColumnsByNameAndAlias) {
    EXPECT_EQ(column_named("VG"), "VG");
    EXPECT_EQ(column_named("vg"), "VG");
    EXPECT_EQ(column_named("n1"), "n1");
    EXPECT_EQ(column_named("N1"), "N1");
    EXPECT_EQ(column_named("statements"), "STMT");
    EXPECT_EQ(column_named("Parameters"), "PARA");
    EXPECT_EQ(column_named("line"), "line");
    EXPECT_FALSE(column_named("n3"));
}

TEST(MetricsRows, CommentDensityAndSorting) {
    auto rows = sample();
    EXPECT_DOUBLE_EQ(*comment_density(rows[0]), 0.1);
    EXPECT_FALSE(comment_density(rows[2]));  // no statements
    sort_rows(rows, "VG", false);
    EXPECT_EQ(rows[0].name, "big");
    EXPECT_EQ(rows[2].name, "odd");  // unknown values last
    sort_rows(rows, "VG", true);
    EXPECT_EQ(rows[0].name, "small");
    sort_rows(rows, "file", false);
    EXPECT_EQ(rows[0].file, "a,\"c");
    EXPECT_EQ(format_value(0.126), "0.13");
    EXPECT_EQ(format_value(std::nullopt), "-");
}

TEST(Thresholds, DefaultsSettingsAndViolations) {
    auto thresholds = default_thresholds();
    auto rows = sample();
    auto violations = find_violations(rows, thresholds);
    // big: v(G) 12 > 10, 60 statements > 50, a goto, density 0.1 < 0.2.
    ASSERT_EQ(violations.size(), 4u);
    EXPECT_EQ(violations[0].message(), "b.c:10: warning: big: cyclomatic number v(G) is 12, above 10 [vg]");
    EXPECT_EQ(violations[3].text(), "comment density is 0.10, below 0.20");

    EXPECT_EQ(apply_threshold(thresholds, "vg=15"), "");
    EXPECT_EQ(apply_threshold(thresholds, "goto=off"), "");
    EXPECT_EQ(apply_threshold(thresholds, "STMT=100"), "");  // the statements threshold
    EXPECT_EQ(apply_threshold(thresholds, "comment_density>=0.05"), "");
    EXPECT_EQ(apply_threshold(thresholds, "BCOM<=1"), "");    // a new one
    EXPECT_EQ(find_violations(rows, thresholds).size(), 1u);  // big has 2 blocks inside
    EXPECT_NE(apply_threshold(thresholds, "nothing=1"), "");
    EXPECT_NE(apply_threshold(thresholds, "vg=ten"), "");
    EXPECT_NE(apply_threshold(thresholds, "vg"), "");
    EXPECT_NE(apply_threshold(thresholds, "name=1"), "");
}

TEST(MetricsOutput, TextCsvJsonSarifHtml) {
    auto rows = sample();
    auto thresholds = default_thresholds();
    auto violations = find_violations(rows, thresholds);
    std::string text = metrics_text(rows, violations.size());
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "file  name   line  STMT  VG  LEVL  PATH  N1  n1  N2  n2  CALL  CALL_PATHS  BCOM  BCOB  COMF  RETU  GOTO  PARA");
    EXPECT_NE(text.find("\nb.c   big      10    60  12     -"), std::string::npos) << text;
    EXPECT_NE(text.find("3 component(s) in 3 file(s), 4 threshold violation(s)\n"), std::string::npos);

    std::string csv = metrics_csv(rows);
    EXPECT_EQ(csv.find("file,name,line,STMT,CALL_PATHS,"), 0u);
    EXPECT_NE(csv.find("\r\n\"a,\"\"c\",odd,1,0,"), std::string::npos) << csv;

    std::string json = metrics_json(rows, thresholds, violations);
    EXPECT_NE(json.find("\"file\": \"a,\\\"c\""), std::string::npos);
    EXPECT_NE(json.find("\"COMF\": 0.1\n"), std::string::npos) << json;
    EXPECT_NE(json.find("\"violations\": [\n        \"vg\",\n        \"statements\","), std::string::npos) << json;

    std::string sarif = violations_sarif(thresholds, violations);
    EXPECT_NE(sarif.find("\"version\": \"2.1.0\""), std::string::npos);
    EXPECT_NE(sarif.find("\"ruleId\": \"goto\""), std::string::npos);
    EXPECT_NE(sarif.find("\"startLine\": 10"), std::string::npos);

    std::string html = metrics_html(rows, thresholds, violations);
    EXPECT_NE(html.find("<td data-value=\"a,&quot;c\">a,&quot;c</td>"), std::string::npos);
    EXPECT_NE(html.find("class=\"num violation\" data-value=\"12\""), std::string::npos);
    EXPECT_EQ(html.find("http://", html.find("<body>")), html.find("http://www.w3.org/2000/svg"));
}

TEST(MetricsOutput, HistogramBins) {
    std::string svg = histogram_svg("v", {1, 3, 11, 30}, {2, 10, 20}, 10);
    EXPECT_NE(svg.find("<title>\u22642: 1</title>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<title>3\u201310: 1</title>"), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#d9534f\"><title>11\u201320: 1"), std::string::npos);
    EXPECT_NE(svg.find("<title>&gt;20: 1</title>"), std::string::npos);
}

}  // namespace
}  // namespace qor::report
