// The results file: identities across files of a run, value and path
// formats, the order of the relation lines; and the archive's date text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "analysis/results_file.hpp"
#include "driver/source_date.hpp"

namespace qor {
namespace {

// The lines of one section, without its head and tail.
std::string section(const std::string& text, const std::string& name) {
    std::string head = "\n" + name + " ::= {\n";
    size_t start = text.find(head);
    if (start == std::string::npos) return "missing";
    start += head.size();
    return text.substr(start, text.find("}\n\n", start) - start);
}

size_t line_count(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

TEST(ResultsFile, ValuesPathsAndFullMetricLists) {
    ObjectIdentities ids;
    MetricCollector metrics(ids);
    metrics.metric_component("f", "dir\\q\"x.c", 3);
    metrics.metric_set("STMT", 12.5);
    metrics.metric_set("VG", 1234567);
    metrics.metric_set("PATH", -1);
    metrics.metric_component("g", "b.c", 7);
    for (size_t i = 0; i < MetricCollector::kMetricLimit; ++i) metrics.metric_set("LEVL", 1);
    std::string text = results_text(metrics, ids);

    // f is 1, its file 2, g 3, b.c 4; the names take 5 to 56; the
    // attribute instances 57 to 60.
    EXPECT_EQ(section(text, "class_instance"),
              "{\"2\",\"dir\\\\q\\\"x.c\",\"6\"},\n{\"4\",\"b.c\",\"6\"},\n{\"1\",\"f\",\"5\"},\n{\"3\",\"g\",\"5\"}\n");
    std::string values = section(text, "metric_instance");
    EXPECT_EQ(values.substr(0, values.find('\n', values.find('\n') + 1) + 1),
              "{\"61\",\"  12.50\",\"12\",\"1\"},\n{\"62\",\"1234567.00\",\"15\",\"1\"},\n");
    EXPECT_EQ(line_count(values), 2u + MetricCollector::kMetricLimit);
    EXPECT_TRUE(values.ends_with("{\"126\",\"   1.00\",\"16\",\"3\"}\n"));
}

TEST(ResultsFile, ValuesPrintAsSevenWideTwoDecimals) {
    const float values[] = {0, 0.125f, 0.005f, 1.0f / 3, 2.675f, 99999.995f, 1234567.5f, 3e10f, 65535};
    ObjectIdentities ids;
    MetricCollector metrics(ids);
    metrics.metric_component("f", "a.c", 1);
    for (float value : values) metrics.metric_set("STMT", value);
    std::string text = section(results_text(metrics, ids), "metric_instance");
    for (float value : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "\",\"%7.2f\",\"", static_cast<double>(value));
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}

TEST(ResultsFile, RelationsGroupComponentsByFileInPathOrder) {
    ObjectIdentities ids;
    MetricCollector metrics(ids);
    metrics.metric_component("z1", "z.c", 1);  // 1, z.c 2
    metrics.metric_component("a1", "a.c", 1);  // 3, a.c 4
    metrics.metric_component("z2", "z.c", 9);  // 5
    metrics.metric_component("a2", "a.c", 9);  // 6
    std::string text = results_text(metrics, ids);
    // Names 7 to 58 (FATHER last), attribute instances 59 to 64.
    EXPECT_EQ(section(text, "relation_instance"),
              "{\"65\",\"58\",\"4\",{\"3\",\"6\"} },\n{\"66\",\"58\",\"2\",{\"1\",\"5\"} }\n");
}

TEST(ResultsFile, LaterFilesKeepTheIdentitiesOfNames) {
    ObjectIdentities ids;
    MetricCollector first(ids);
    first.metric_component("f", "a.c", 3);
    first.metric_component("g", "a.c", 9);
    std::string text = results_text(first, ids);
    EXPECT_EQ(section(text, "class_instance"), "{\"2\",\"a.c\",\"5\"},\n{\"1\",\"f\",\"4\"},\n{\"3\",\"g\",\"4\"}\n");
    // Names 4 to 55, attribute instances 56 to 58.
    EXPECT_EQ(section(text, "relation_instance"), "{\"59\",\"55\",\"2\",{\"1\",\"3\"} }\n");

    MetricCollector second(ids);
    second.metric_component("h", "b.c", 1);
    text = results_text(second, ids);
    EXPECT_EQ(section(text, "class"), "{\"5\",\"FILE\"},\n{\"4\",\"COMPONENT\"}\n");
    EXPECT_EQ(section(text, "class_instance"), "{\"61\",\"b.c\",\"5\"},\n{\"60\",\"h\",\"4\"}\n");
    EXPECT_EQ(section(text, "attribute_instance"), "{\"62\",\"C\",\"7\",\"61\"},\n{\"63\",\"1\",\"9\",\"60\"}\n");
}

TEST(SourceDate, LocalTimeOrTheFixedText) {
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(date_text(1204898709), "03/07/08-14:05:09");
    EXPECT_EQ(source_date_text("/no/such/file.c", true), "mm/dd/yy-hh:mm:ss");
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace qor
