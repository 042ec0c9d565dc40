// The command line, JSON texts, the texts of the coverage data and the
// files a report writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "coverage_data.hpp"
#include "input_files.hpp"
#include "json_writer.hpp"
#include "options.hpp"

namespace qor::report {
namespace {

std::optional<Options> parse(std::vector<std::string> args) { return parse_options(args); }

TEST(CommandLine, ReportsAndTheirOptions) {
    auto metrics = parse({"metrics", "--sort=VG", "--threshold", "vg=3", "--csv", "-o", "out.csv", "a.mtr", "--", "-b.mtr"});
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->command, Command::Metrics);
    EXPECT_EQ(metrics->sort, "VG");
    EXPECT_EQ(metrics->threshold_settings, std::vector<std::string>{"vg=3"});
    EXPECT_EQ(metrics->format, Format::Csv);
    EXPECT_EQ(metrics->output, "out.csv");
    EXPECT_EQ(metrics->inputs, (std::vector<std::string>{"a.mtr", "-b.mtr"}));

    auto coverage = parse({"coverage", "--fail-under-mcdc", "87.5", "--lcov", "t.info", "--exclude", "/usr/*", "d"});
    ASSERT_TRUE(coverage);
    EXPECT_EQ(coverage->fail_under_mcdc, 87.5);
    EXPECT_EQ(coverage->lcov, "t.info");
    EXPECT_EQ(coverage->excludes, std::vector<std::string>{"/usr/*"});
    EXPECT_EQ(parse({})->command, Command::Help);
    EXPECT_EQ(parse({"coverage", "--help"})->command, Command::Help);
}

TEST(CommandLine, UsageErrors) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"report"}, {"metrics"}, {"metrics", "--bogus", "a"}, {"metrics", "--lcov", "x", "a"},
             {"coverage", "--csv", "a"}, {"coverage", "--fail-under-decision", "120", "a"},
             {"coverage", "--fail-under-mcdc", "x", "a"}, {"metrics", "a", "--sort"}, {"metrics", "--csv=1", "a"}})
        EXPECT_FALSE(parse(args)) << args[0] << " " << args.back();
}

TEST(JsonWriter, NestingQuotingAndNumbers) {
    JsonWriter json;
    json.begin_object();
    json.text("text", "a\"b\\c\n\x01");
    json.begin_array("list");
    json.number("", 0.5);
    json.count("", 18446744073709551615ull);
    json.end_array();
    json.begin_object("empty");
    json.end_object();
    json.end_object();
    EXPECT_EQ(json.finish(),
              "{\n  \"text\": \"a\\\"b\\\\c\\n\\u0001\",\n  \"list\": [\n    0.5,\n    18446744073709551615\n  ],\n"
              "  \"empty\": {}\n}\n");
    EXPECT_EQ(json_quoted("\xc3\xa9\xff"), "\"\xc3\xa9\\ufffd\"");  // valid UTF-8 kept, a stray byte replaced
    EXPECT_EQ(json_number(3), "3");
    EXPECT_EQ(json_number(1.0 / 3), "0.333333");
}

TEST(DataTexts, Unescaped) {
    EXPECT_EQ(unescape_data_text("a\\\\b"), "a\\b");
    EXPECT_EQ(unescape_data_text("tab\\011end"), "tab\tend");
    EXPECT_EQ(unescape_data_text("odd\\9"), "odd\\9");
}

TEST(Files, WrittenWholeAndFound) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("qor_report_files_" + std::to_string(::getpid()));
    fs::create_directories(dir / "results");
    std::string out = (dir / "out.txt").string();
    EXPECT_TRUE(write_text(out, "one"));
    EXPECT_TRUE(write_text(out, "two"));
    EXPECT_EQ(read_text(out), "two");
    EXPECT_FALSE(fs::exists(out + ".tmp"));
    EXPECT_TRUE(write_text("/dev/null", "into a device"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    std::ofstream(dir / "a.c") << "int a;\n";
    std::string results = (dir / "results" / "a.mtr").string();
    EXPECT_EQ(find_source("../a.c", results, {}), (dir / "a.c").string());
    EXPECT_EQ(find_source("a.c", "elsewhere/a.mtr", {dir.string()}), (dir / "a.c").string());
    EXPECT_FALSE(find_source("b.c", results, {dir.string()}));
    EXPECT_TRUE(excluded("/usr/include/stdio.h", {"/usr/*"}));
    EXPECT_FALSE(excluded("src/a.c", {"/usr/*"}));

    std::ofstream(dir / "results" / "b.sta") << "";
    std::string b = (dir / "results" / "b.sta").string();
    InputFiles files = expand_inputs({(dir / "results").string()}, {".mtr", ".sta"});
    EXPECT_EQ(files.paths, std::vector<std::string>{b});

    // The same file through its directory, by name and through a link: once.
    fs::create_symlink(b, dir / "link.sta");
    std::string link = (dir / "link.sta").string();
    files = expand_inputs({(dir / "results").string(), b, link}, {".sta"});
    EXPECT_EQ(files.paths, std::vector<std::string>{b});
    EXPECT_EQ(files.notes, (std::vector<std::string>{b + " is the same file as " + b + "; read once",
                                                      link + " is the same file as " + b + "; read once"}));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qor::report
