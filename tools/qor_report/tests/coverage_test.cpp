// The coverage of several runs: an archive and coverage-data records
// written in the shapes that qor_cc and the run-time write, merged, and the
// report's exports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "coverage_exports.hpp"
#include "coverage_html.hpp"
#include "coverage_lines.hpp"
#include "coverage_model.hpp"
#include "coverage_text.hpp"

namespace qor::report {
namespace {

namespace fs = std::filesystem;

BranchDescription branch(int number, const char* kind, int line, const char* text) {
    return {number, kind, line, text};
}

TEST(CoverageModel, BranchesGroupIntoDecisions) {
    // if (p) { if (q || r) ... else ... } else ...; a switch; a loop.
    std::vector<BranchDescription> branches{
        branch(2, "If", 13, "*end=='.'"),         branch(3, "If", 15, "q||r"),
        branch(4, "Else", 16, "not(q||r)"),        branch(5, "Else", 19, "not(*end=='.')"),
        branch(6, "Case", 21, "k == 1, 2"),        branch(7, "Case", 23, "k ==  3"),
        branch(8, "Else-Case", 25, "k ==  default"), branch(9, "For-Loop", 27, "i<n"),
        branch(10, "End-For-Loop", 29, "not(i<n)"), branch(11, "Else", 30, "not(lost)")};
    auto groups = group_branches(branches);
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0], (std::vector<size_t>{0, 3}));
    EXPECT_EQ(groups[1], (std::vector<size_t>{1, 2}));
    EXPECT_EQ(groups[2], (std::vector<size_t>{4, 5, 6}));
    EXPECT_EQ(groups[3], (std::vector<size_t>{7, 8}));
    EXPECT_EQ(groups[4], (std::vector<size_t>{9}));
}

TEST(CoverageModel, UnitStemsAndPercentages) {
    EXPECT_EQ(unit_stem("/src/out/a.inst.h"), "a");
    EXPECT_EQ(unit_stem("b.cov.h"), "b");
    EXPECT_EQ(unit_stem("dir.x/c.h"), "c");
    EXPECT_EQ(percent_text(1, 3), "33.3%");
    EXPECT_EQ(percent_text(0, 0), "-");
    EXPECT_EQ(runs_text({}), "none");
    EXPECT_EQ(runs_text({1, 2, 3, 5}), "1-3, 5");
    RunSet many;
    for (int run = 1; run <= 301; run += 3) many.insert(run);
    EXPECT_EQ(runs_text(many), "1, 4, 7, 10, 13, 16, ... 301: 101 runs");
}

// A unit u.c with f (a decision a && (b || c) with condition coverage)
// and a static g, in a scratch directory.
class CoverageRuns : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qor_report_test_" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "out");
        write("u.c", "int g(int);\nint f(int a, int b, int c)\n{\n    if (a && (b || c))\n        return 1;\n"
                     "    return g(a);\n}\nstatic int g(int x) { return x; }\n");
        write("out/u.sta",
              "<archive V3.0>\n*NA*\nARCHIVE\n.EF.\nLANG/C\n*CV*\nCURRENT_VERSION\n*CM*\nCURRENT_VERSION\n"
              "g 01/02/03-04:05:06\nf 01/02/03-04:05:06\n"
              "*MO*\nf 01/02/03-04:05:06\n.EM.\nLANG/C\n.DT.\nINST          3\n.DC.\n:DEBU ;#2.../u.c,\n:FIN  ;#7.\n"
              ".DA.\ng 2#6,\n.CD.\n    1 Begin     3\n    2 If     4 a&&(b||c)\n    3 Else     6 not(a&&(b||c))\n"
              "*MO*\ng 01/02/03-04:05:06\n.EM.\nLANG/C\n.DT.\nINST          1\n.DC.\n:DEBU ;#8.../u.c,\n.DA.\n.CD.\n"
              "    1 Begin     8\n*FI*\n"
              "Entities_Definitions DEFINITIONS ::= BEGIN\n"
              "source_description ::= {\n{1, \"../u.c\"}\n}\n"
              "component_description ::= {\n{1, \"f\"},\n{2, \"u.c/g\"}\n}\n"
              "mcdc_description ::= {\n{1, 1, \"1:4:2:3:a:b:c:2:11-:101:2:0--:100:a && (b || c)\"},\n"
              "{1, 1, \"2:6:0:1:a:1:0:1:1:( !a)\"}\n}\nEND\n");
        std::string header = "H " + (dir_ / "out" / "u.inst.h").string() + "\nD 01/02/03-04:05:06\n";
        write("out/run.dat",
              // run 1: a, b true (11-) twice; a false once
              "QVX 1 100\n" + header + "F 1 3 3 f\nB 0 0 2 1\nC 1\nM 1 1 11- 2\nM 1 0 0-- 1\nM 2 0 1 1\nF 2 0 0 u.c/g\nB 0 0\nC\nEND\n" +
              // run 2: a true, b and c false
              "QVX 1 101\n" + header + "F 1 1 1 f\nB 0 0 0 1\nC 0\nM 1 0 100 1\nF 2 1 1 u.c/g\nB 0 0\nC\nEND\n" +
              // another version of the source, and a unit without archive
              "QVX 1 102\nH " + (dir_ / "out" / "u.inst.h").string() + "\nD 09/09/09-09:09:09\nF 1 5 5 f\nB 0 0 5 0\nC 0\nEND\n" +
              "QVX 1 103\nH /elsewhere/v.inst.h\nD d\nEND\n");
        report_ = build_coverage({(dir_ / "out" / "u.sta").string()}, {(dir_ / "out" / "run.dat").string()}, {});
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }

    fs::path dir_;
    CoverageReport report_;
};

TEST_F(CoverageRuns, RunsAreMergedAndKeptApart) {
    ASSERT_EQ(report_.runs.size(), 2u);  // the other two records are left out
    EXPECT_EQ(report_.runs[1].pid, 101);
    ASSERT_EQ(report_.files.size(), 1u);
    const FileCoverage& file = report_.files[0];
    ASSERT_TRUE(file.source);
    EXPECT_EQ(fs::path(*file.source).filename(), "u.c");
    ASSERT_EQ(file.functions.size(), 2u);
    const FunctionCoverage& f = file.functions[0];
    EXPECT_EQ(f.name, "f");
    EXPECT_EQ(f.entries, 4u);
    EXPECT_EQ(f.runs, (RunSet{1, 2}));
    ASSERT_EQ(f.branches.size(), 2u);
    EXPECT_EQ(f.branches[0].count, 2u);
    EXPECT_EQ(f.branches[0].runs, RunSet{1});
    EXPECT_EQ(f.branches[1].count, 2u);
    EXPECT_EQ(f.branches[1].runs, (RunSet{1, 2}));
    EXPECT_EQ(f.calls_executed, 1u);
    EXPECT_EQ(file.functions[1].runs, RunSet{2});
}

// The records of one process make one run, even with another process's
// records between them; a unit met again under a process number is a
// later process that got the number again.
TEST_F(CoverageRuns, RecordsOfOneProcessAreOneRun) {
    fs::copy_file(dir_ / "out" / "u.sta", dir_ / "out" / "v.sta");
    auto record = [this](int pid, const char* unit) {
        return "QVX 1 " + std::to_string(pid) + "\nH " + (dir_ / "out" / unit).string() +
               "\nD 01/02/03-04:05:06\nF 1 1 1 f\nB 0 0 1 0\nC 0\nEND\n";
    };
    write("out/runs.dat", record(7, "u.inst.h") + record(8, "u.inst.h") + record(7, "v.inst.h") +
                              record(8, "v.inst.h") + record(7, "u.inst.h"));
    CoverageReport report = build_coverage({(dir_ / "out" / "u.sta").string(), (dir_ / "out" / "v.sta").string()},
                                           {(dir_ / "out" / "runs.dat").string()}, {});
    ASSERT_EQ(report.runs.size(), 3u);
    EXPECT_EQ(report.runs[0].pid, 7);
    EXPECT_EQ(report.runs[0].headers.size(), 2u);
    EXPECT_EQ(report.runs[1].pid, 8);
    EXPECT_EQ(report.runs[1].headers.size(), 2u);
    EXPECT_EQ(report.runs[2].pid, 7);
    EXPECT_EQ(report.runs[2].line, 29);
}

// The branch of an if without else is shown on the if's line; an else of
// the source keeps its own. `if (a) x++;` (lines 3-4) and `if (b) ... else`
// (lines 5-7), as the control graph and the branch lines describe them.
TEST_F(CoverageRuns, ImplicitElseOnTheIfsLine) {
    write("out/w.sta",
          "<archive V3.0>\n*NA*\nARCHIVE\n.EF.\nLANG/C\n*CV*\nCURRENT_VERSION\n*CM*\nCURRENT_VERSION\n"
          "h 01/02/03-04:05:06\n*MO*\nh 01/02/03-04:05:06\n.EM.\nLANG/C\n.DT.\nINST          3\n.DC.\n"
          ":DEBU ;#1.w.c,\n:SI   ;#3.\n:RIEN /1;#4.\n:FISI ;#4.\n:SI   ;#5.\n:RIEN /1;#6.\n:SINO ;#7.\n"
          ":RIEN /1;#8.\n:FISI ;#8.\n:FIN  ;#9.\n.DA.\n.CD.\n    1 Begin     2\n    2 If     3 a\n"
          "    3 Else     4 not(a)\n    4 If     5 b\n    5 Else     7 not(b)\n*FI*\n");
    CoverageReport report = build_coverage({(dir_ / "out" / "w.sta").string()}, {}, {});
    ASSERT_EQ(report.files.size(), 1u);
    const FunctionCoverage& h = report.files[0].functions[0];
    ASSERT_EQ(h.branches.size(), 4u);
    EXPECT_EQ(h.branches[1].description.line, 3);
    EXPECT_EQ(h.branches[3].description.line, 7);
}

// A function that the unit's records never list got no probes (an inline
// definition with external linkage): it is left out, not shown as never
// entered. Without any record nothing tells, and every function stays.
TEST_F(CoverageRuns, FunctionsWithoutProbesAreLeftOut) {
    write("out/f_only.dat", "QVX 1 9\nH " + (dir_ / "out" / "u.inst.h").string() +
                                "\nD 01/02/03-04:05:06\nF 1 1 1 f\nB 0 0 1 0\nC 0\nEND\n");
    std::string archive = (dir_ / "out" / "u.sta").string();
    CoverageReport report = build_coverage({archive}, {(dir_ / "out" / "f_only.dat").string()}, {});
    ASSERT_EQ(report.files.size(), 1u);
    ASSERT_EQ(report.files[0].functions.size(), 1u);
    EXPECT_EQ(report.files[0].functions[0].name, "f");
    EXPECT_EQ(build_coverage({archive}, {}, {}).files[0].functions.size(), 2u);
}

// b of a && (b || c) is shown only by the vectors of two runs together.
TEST_F(CoverageRuns, IndependenceOverRuns) {
    const FunctionCoverage& f = report_.files[0].functions[0];
    // The decision of one condition, ( !a), is left to its branches.
    ASSERT_EQ(f.conditions.size(), 1u);
    const DecisionCoverage& decision = f.conditions[0];
    ASSERT_EQ(decision.observed.size(), 3u);
    EXPECT_EQ(decision.observed[0].vector, "11-");
    EXPECT_EQ(decision.observed[2].runs, RunSet{2});
    const ConditionIndependence& b = decision.conditions[1];
    EXPECT_TRUE(b.masking.shown);
    EXPECT_EQ(independence_text(decision, b.masking), "shown by 11-=T / 100=F");
    EXPECT_EQ(independence_text(decision, b.unique_cause), "shown by 11-=T / 100=F");
    EXPECT_EQ(independence_text(decision, decision.conditions[2].masking), "not shown (never true)");
    CoverageTotals totals = report_.totals();
    EXPECT_EQ(totals.decisions, 1u);
    EXPECT_EQ(totals.conditions, 3u);
    EXPECT_EQ(totals.masking, 2u);
    EXPECT_EQ(totals.unique_cause, 2u);
    EXPECT_EQ(totals.branches_taken, 2u);
    EXPECT_EQ(totals_text(totals),
              "functions 2/2 (100.0%), branches 2/2 (100.0%), MC/DC unique-cause 2/3 (66.7%), masking 2/3 (66.7%)");
}

TEST_F(CoverageRuns, Exports) {
    std::string text = coverage_text(report_);
    EXPECT_NE(text.find("    decision line 4    If           branch 2   a&&(b||c)"), std::string::npos) << text;
    EXPECT_NE(text.find("      vector 100 -> false 1 time(s) (runs 2)\n"), std::string::npos);

    auto lines = line_coverage(report_.files[0]);
    EXPECT_EQ(lines[4].hits, 4u);  // both branches pass the condition
    EXPECT_EQ(lines[4].branches, 2u);
    EXPECT_EQ(lines[6].hits, 2u);

    std::string lcov = coverage_lcov(report_);
    EXPECT_NE(lcov.find("FN:2,f\nFN:8,g\nFNDA:4,f\nFNDA:1,g\nFNF:2\nFNH:2\n"), std::string::npos) << lcov;
    EXPECT_NE(lcov.find("BRDA:4,0,0,2\nBRDA:4,0,1,2\nBRF:2\nBRH:2\n"), std::string::npos);
    EXPECT_NE(lcov.find("MCDC:4,3,t,1,1,b\nMCDC:4,3,f,1,1,b\nMCDC:4,3,t,0,2,c\n"), std::string::npos);
    EXPECT_NE(lcov.find("MCF:6\nMCH:4\n"), std::string::npos) << lcov;
    EXPECT_NE(lcov.find("DA:4,4\n"), std::string::npos);

    std::string xml = coverage_cobertura(report_);
    EXPECT_NE(xml.find("<line number=\"4\" hits=\"4\" branch=\"true\" condition-coverage=\"100% (2/2)\"/>"),
              std::string::npos) << xml;
    EXPECT_NE(xml.find("<method name=\"f\""), std::string::npos);

    std::string json = coverage_json(report_);
    EXPECT_NE(json.find("\"pair\": [\n"), std::string::npos);
    EXPECT_NE(json.find("\"reason\": \"never true\""), std::string::npos);

    // The index links each file's page, which links back.
    std::vector<HtmlPage> pages = coverage_html(report_, "cov.html");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].path, "cov.html");
    EXPECT_EQ(pages[1].path, "cov_files/0-u.c.html");
    EXPECT_NE(pages[0].text.find("<a href=\"cov_files/0-u.c.html\">../u.c</a>"), std::string::npos) << pages[0].text;
    EXPECT_NE(pages[0].text.find("data-value=\"0.666667\"><span class=\"bar\"><span style=\"width:66%\"></span></span> "
                                 "2/3 (66.7%)</td>"),
              std::string::npos);
    const std::string& html = pages[1].text;
    EXPECT_NE(html.find("<a href=\"../cov.html\">All files</a>"), std::string::npos);
    EXPECT_NE(html.find("<tr class=\"ok\" id=\"file-0-4\">"), std::string::npos) << html;
    EXPECT_NE(html.find("data-target=\"d-0\""), std::string::npos);
    EXPECT_NE(html.find("<tr class=\"detail\" id=\"d-0\" hidden>"), std::string::npos);
    EXPECT_NE(html.find("if (a &amp;&amp; (b || c))"), std::string::npos);
    // The truth table: numbered rows, each with the conditions it helps
    // show, and each condition's pair by its rows.
    EXPECT_NE(html.find("<td>1</td><td><code>11-</code></td><td>T</td><td>T</td><td>&ndash;</td><td>true</td><td>2</td>"
                        "<td>1</td><td>c1 c2</td><td>c1 c2</td>"),
              std::string::npos) << html;
}

// With the line map beside the archive every line with code counts, the
// largest of its sums; a map of another version of the source is not
// used, and the lines with probes count as before.
TEST_F(CoverageRuns, LinesCountAsTheLineMapSays) {
    std::string archive = (dir_ / "out" / "u.sta").string();
    std::string data = (dir_ / "out" / "run.dat").string();
    auto lines_with = [&](const std::string& date) {
        write("out/u.lines", "qor-lines 1\nD " + date + "\nF 2 f\n2 1\n4 1\n5 2\n6 0 3\n7 x\n");
        return line_coverage(build_coverage({archive}, {data}, {}).files[0]);
    };
    auto lines = lines_with("01/02/03-04:05:06");
    std::map<int, Count> hits;
    for (const auto& [line, coverage] : lines) hits[line] = coverage.hits;
    // f: 4 entries and exits, its If taken twice, its Else twice; g on line 8.
    EXPECT_EQ(hits, (std::map<int, Count>{{2, 4}, {4, 4}, {5, 2}, {6, 2}, {7, 4}, {8, 1}}));
    EXPECT_EQ(lines[4].branches, 2u);

    lines = lines_with("09/09/09-09:09:09");
    EXPECT_EQ(lines.count(5), 0u);
    EXPECT_EQ(lines[6].hits, 2u);
}

}  // namespace
}  // namespace qor::report
