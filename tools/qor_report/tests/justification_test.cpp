// Justifications: the markers of a source, the justification file, their
// matching to the items of a report, and how the reports show them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "coverage_exports.hpp"
#include "coverage_html.hpp"
#include "coverage_text.hpp"
#include "foundation/diagnostics.hpp"
#include "justify.hpp"
#include "options.hpp"

namespace qor::report {
namespace {

// The messages reported while `work` runs.
template <typename Work>
std::string messages_of(Work work) {
    testing::internal::CaptureStderr();
    work();
    return testing::internal::GetCapturedStderr();
}

TEST(JustificationMarkers, LinesRegionsAndCriteria) {
    std::vector<Justification> found;
    std::string err = messages_of([&] {
        found = read_markers("int f(int a)\n{\n"
                             "    if (a) /* qor-justify: branch the caller checks a */\n"
                             "        g(\"// qor-justify: line not a comment\");\n"
                             "    // qor-justify-begin: line,mcdc only on the target\n"
                             "    /** qor-justify-begin: all\n"
                             "     *  kept for the debugger */\n"
                             "    h();\n"
                             "    // qor-justify-end\n"
                             "    /* qor-justify-end */\n"
                             "}\n",
                             "src/u.c", "u.c");
    });
    EXPECT_EQ(err, "");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].first, 3);
    EXPECT_EQ(found[0].last, 3);
    EXPECT_EQ(found[0].criteria, kJustifyBranches);
    EXPECT_EQ(found[0].reason, "the caller checks a");
    EXPECT_EQ(found[0].file, "u.c");
    EXPECT_EQ(found[0].origin, "src/u.c");
    // The inner region closes first; the reason runs over the comment's lines.
    EXPECT_EQ(found[1].criteria, kJustifyLines | kJustifyConditions);
    EXPECT_EQ(found[1].first, 5);
    EXPECT_EQ(found[1].last, 10);
    EXPECT_EQ(found[2].criteria, kJustifyAll);
    EXPECT_EQ(found[2].reason, "kept for the debugger");
    EXPECT_EQ(found[2].first, 6);
    EXPECT_EQ(found[2].last, 9);
    EXPECT_EQ(criteria_text(kJustifyLines | kJustifyConditions), "line,mcdc");
}

TEST(JustificationMarkers, MalformedOnesAreReportedAndLeftOut) {
    int errors = error_count();
    std::vector<Justification> found;
    std::string err = messages_of([&] {
        found = read_markers("/* qor-justify: branch */\n// qor-justify: lines x\n// qor-justify branch why\n"
                             "// qor-justify-end\n// qor-justify-begin: line left open\nint x;\n",
                             "u.c", "u.c");
    });
    EXPECT_EQ(error_count() - errors, 4);
    EXPECT_NE(err.find("u.c(1): Error:  the justification gives no reason"), std::string::npos) << err;
    EXPECT_NE(err.find("u.c(2): Error:  unknown criterion 'lines' (line, branch, mcdc or all)"), std::string::npos);
    EXPECT_NE(err.find("u.c(3): Error:  unknown marker 'qor-justify'"), std::string::npos);
    EXPECT_NE(err.find("u.c(4): Error:  qor-justify-end without qor-justify-begin"), std::string::npos);
    EXPECT_NE(err.find("u.c(5): Warning:  qor-justify-begin without qor-justify-end"), std::string::npos);
    ASSERT_EQ(found.size(), 1u);  // the open region, to the end of the file
    EXPECT_EQ(found[0].first, 5);
    EXPECT_EQ(found[0].last, 6);
}

TEST(JustificationFile, EntriesAndErrors) {
    int errors = error_count();
    std::vector<Justification> found;
    std::string err = messages_of([&] {
        found = read_justification_file("# file\tfunction\titem\tcriteria\treason\n\n"
                                        "lib/*.c\tparse\t12-14\tbranch,mcdc\tno input reaches it\tsee the log\n"
                                        "u.c\t*\t*\tline\twhole file\r\n"
                                        "u.c\tf\t12\tline\n"
                                        "u.c\tf\t9-3\tline\twhy\n"
                                        "u.c\tf\t3\tstatement\twhy\n"
                                        "u.c\tf\t3\tline\t \n",
                                        "j.tsv");
    });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].file, "lib/*.c");
    EXPECT_EQ(found[0].function, "parse");
    EXPECT_EQ(found[0].first, 12);
    EXPECT_EQ(found[0].last, 14);
    EXPECT_EQ(found[0].criteria, kJustifyBranches | kJustifyConditions);
    EXPECT_EQ(found[0].reason, "no input reaches it\tsee the log");
    EXPECT_EQ(found[0].origin_line, 3);
    EXPECT_EQ(lines_text(found[1]), "*");
    EXPECT_EQ(found[1].reason, "whole file");
    EXPECT_EQ(error_count() - errors, 4);
    EXPECT_NE(err.find("j.tsv(5): Error:  expected 5 tab-separated fields"), std::string::npos) << err;
    EXPECT_NE(err.find("j.tsv(6): Error:  bad item '9-3'"), std::string::npos);
    EXPECT_NE(err.find("j.tsv(7): Error:  unknown criterion 'statement'"), std::string::npos);
    EXPECT_NE(err.find("j.tsv(8): Error:  the justification gives no reason"), std::string::npos);
}

TEST(JustificationFile, AnOptionOfTheCoverageReport) {
    auto options = parse_options({"coverage", "--justify", "a.tsv", "--justify=b.tsv", "d"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->justification_files, (std::vector<std::string>{"a.tsv", "b.tsv"}));
    std::string err = messages_of([] { EXPECT_FALSE(parse_options({"metrics", "--justify", "a.tsv", "d"})); });
    EXPECT_NE(err.find("option --justify does not belong to the metrics report"), std::string::npos) << err;
}

// u.c: f (line 2) with `if (a && (b || c))` on line 4, its true branch
// taken and its else (line 6) not; a shown under both criteria, b under
// masking alone, c under neither. g (line 8) never entered.
class JustifiedReport : public ::testing::Test {
protected:
    void SetUp() override {
        FunctionCoverage f;
        f.name = "f";
        f.line = 2;
        f.entries = 3;
        f.branches = {{{2, "If", 4, "a&&(b||c)"}, 3, {1}, {}}, {{3, "Else", 6, "not(a&&(b||c))"}, 0, {}, {}}};
        f.decisions = {{0, 1}};
        DecisionCoverage decision;
        decision.description.line = 4;
        decision.description.branch = 2;
        decision.description.conditions = {"a", "b", "c"};
        decision.description.expression = "a && (b || c)";
        decision.observed = {{"11-", true, 3, {1}}, {"0--", false, 1, {1}}};
        Independence shown{true, 0, 1, ""}, missing{false, -1, -1, "never false"};
        decision.conditions = {{shown, shown}, {missing, shown}, {missing, missing}};
        f.conditions = {decision};
        FunctionCoverage g;
        g.name = "g";
        g.line = 8;
        source_ = std::filesystem::temp_directory_path() / ("qor_justified_" + std::to_string(::getpid()) + ".c");
        std::ofstream(source_) << "\nint f(int a, int b, int c)\n{\n    if (a && (b || c))\n        return 1;\n"
                                  "    return 0;\n}\nint g(void) { return 2; }\n";
        report_.files.push_back({"u.c", "u.sta", source_.string(), {f, g}, {}});
    }
    void TearDown() override { std::filesystem::remove(source_); }

    // The marker justifications of `source`, applied; the messages said.
    std::string apply(const std::string& source, const std::string& file_entries = "") {
        return messages_of([&] {
            std::vector<Justification> all = read_markers(source, "u.c", "u.c");
            for (Justification& j : read_justification_file(file_entries, "j.tsv")) all.push_back(std::move(j));
            apply_justifications(report_, std::move(all));
        });
    }

    static std::string marker_on(int line, const std::string& marker) {
        return std::string(static_cast<size_t>(line - 1), '\n') + "/* qor-justify: " + marker + " */\n";
    }

    std::filesystem::path source_;
    CoverageReport report_;
};

TEST_F(JustifiedReport, ItemsOfAMarkedLine) {
    std::string err = apply(marker_on(4, "branch,mcdc a is never false here"));
    EXPECT_EQ(err, "");  // the decision's branches and conditions are not all covered
    const FunctionCoverage& f = report_.files[0].functions[0];
    EXPECT_EQ(f.branches[0].justification, 0u);  // named, but taken: counted as covered
    EXPECT_EQ(f.branches[1].justification, 0u);
    CoverageTotals t = report_.totals();
    EXPECT_EQ(t.branches_justified, 1u);
    EXPECT_EQ(t.unique_cause_justified, 2u);  // b and c
    EXPECT_EQ(t.masking_justified, 1u);       // c
    EXPECT_EQ(t.lines_justified, 0u);         // not a line criterion
    EXPECT_EQ(totals_text(t, true),
              "functions 1/2 (50.0%), lines 2/4 covered, 0 justified, 2 missed (50.0%), "
              "branches 1/2 covered, 1 justified, 0 missed (100.0%), "
              "MC/DC unique-cause 1/3 covered, 2 justified, 0 missed (100.0%), "
              "masking 2/3 covered, 1 justified, 0 missed (100.0%)");
    ASSERT_EQ(report_.justifications[0].items.size(), 5u);
    EXPECT_EQ(status_text(report_.justifications[0].items[3]), "unique-cause justified, masking covered");
}

TEST_F(JustifiedReport, CoveredAndStaleJustificationsWarn) {
    std::string err = apply(marker_on(2, "line entry is set up elsewhere") + "\n\n// qor-justify: mcdc nothing here\n",
                            "*.c\tf\t4\tbranch\tall taken\n"
                            "v.c\t*\t*\tall\tanother file\n");
    EXPECT_NE(err.find("u.c(2): Warning:  the justification justifies what was covered (line 2); it counts as covered"),
              std::string::npos) << err;
    EXPECT_NE(err.find("u.c(5): Warning:  stale justification, nothing to justify for 'mcdc' on line 5"),
              std::string::npos);
    EXPECT_NE(err.find("j.tsv(2): Warning:  stale justification, nothing to justify for 'all' on every line in files "
                       "matching 'v.c'"),
              std::string::npos);
    // The branch entry names a decision one of whose branches was missed.
    EXPECT_EQ(err.find("j.tsv(1)"), std::string::npos);
    EXPECT_EQ(report_.totals().lines_justified, 0u);
}

// A file entry's function limits it to that function's lines: those from
// its first line up to the next function's.
TEST_F(JustifiedReport, FunctionsOfFileEntries) {
    apply("", "u.c\tg\t*\tline\tdebug only\nu.c\tf\t*\tline,mcdc\tsecond\n*\t*\t6-8\tline\tthird\n");
    const auto& j = report_.justifications;
    ASSERT_EQ(j[0].items.size(), 1u);
    EXPECT_EQ(j[0].items[0].line, 8);
    EXPECT_EQ(j[1].items.size(), 3u + 3u);  // lines 2, 4, 6 and the three conditions
    ASSERT_EQ(j[2].items.size(), 2u);
    EXPECT_EQ(j[2].items[0].function, "f");
    EXPECT_EQ(j[2].items[1].function, "g");
    // An item named twice keeps the first justification.
    EXPECT_EQ(report_.files[0].justified_lines.at(8), 0u);
    EXPECT_EQ(report_.files[0].justified_lines.at(6), 1u);
    EXPECT_EQ(report_.totals().lines_justified, 2u);
}

TEST_F(JustifiedReport, ReportsShowThemWithTheirReasons) {
    std::string plain = coverage_text(report_);
    EXPECT_EQ(plain.find("justified"), std::string::npos);
    apply(marker_on(4, "branch,mcdc a is never false here"), "u.c\tg\t*\tline\tdebug only\n");

    std::string text = coverage_text(report_);
    EXPECT_NE(text.find("not(a&&(b||c))                 taken 0  JUSTIFIED [1]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("c3 unique-cause: not shown (never false), justified [1]; masking: not shown (never false), "
                        "justified [1]\n"),
              std::string::npos);
    EXPECT_NE(text.find("Justifications: 2\n  [1] u.c:4, line 4: branch,mcdc: a is never false here\n"
                        "      u.c, f: branch 2 (If) on line 4: covered\n"),
              std::string::npos);
    EXPECT_NE(text.find("  [2] j.tsv:1, every line of g in files matching 'u.c': line: debug only\n"
                        "      u.c, g: line 8: justified\n"),
              std::string::npos);
    EXPECT_NE(text.find(kJustifiedShare), std::string::npos);

    std::string json = coverage_json(report_);
    EXPECT_NE(json.find("\"branches_justified\": 1,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"unique_cause_justified\": 2,\n        \"masking_justified\": 1\n"), std::string::npos);
    EXPECT_NE(json.find("\"criterion\": \"line\",\n      \"reason\": \"debug only\",\n      \"matched\": [\n"),
              std::string::npos);
    EXPECT_NE(json.find("\"item\": \"condition\",\n          \"line\": 4,\n          \"condition\": 3,"),
              std::string::npos);

    std::vector<HtmlPage> pages = coverage_html(report_, "cov.html");
    EXPECT_NE(pages[0].text.find("1/2, 1 justified (100.0%)"), std::string::npos) << pages[0].text;
    EXPECT_NE(pages[0].text.find("<tr id=\"just-2\"><td>[2]</td><td>j.tsv:1</td>"), std::string::npos);
    const std::string& page = pages[1].text;
    EXPECT_NE(page.find("<tr class=\"just\" id=\"file-0-8\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<a class=\"justified\" href=\"#just-1\" title=\"a is never false here\">[1]</a>"
                        "<button class=\"decision just\""),
              std::string::npos);
    EXPECT_NE(page.find("<p class=\"just\">Justified [1] (branch,mcdc): a is never false here</p>"), std::string::npos);
}

}  // namespace
}  // namespace qor::report
