// Where the probes land in an instrumented copy: the front end, the
// measuring side and the probes run over small functions as the pipeline
// runs them, and the copy's text is checked around each probe.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "analysis_support.hpp"
#include "foundation/line_map.hpp"
#include "instrument/probing_events.hpp"

namespace qor {
namespace {

// The instrumented text of `source` (analysed as a.c, ANSI dialect), with
// condition coverage when `conditions`; its line map's text in `lines`.
std::string instrumented(const std::string& source, bool conditions = false, std::string* lines = nullptr) {
    test::ScratchDirectory scratch;
    test::write_file("a.c", source);
    DialectState dialect;
    select_dialect(dialect, "ANSI");
    Preprocessor preprocessor(dialect);
    AnalysisModel model("V3.0", "ARCHIVE", "LANG/C", "CURRENT_VERSION", true);
    ObjectIdentities identities;
    MetricCollector metrics(identities);
    FILE* out = std::tmpfile();
    int records = 0;
    InstrumentEmitter emitter(out, "a.c", conditions ? &records : nullptr);
    MeasuringEvents measure(model, metrics);
    ProbingEvents probes(measure, emitter);
    ParseActions actions(probes, dialect, preprocessor);
    Lexer lexer(test::lexer_setup(dialect, preprocessor, probes, actions, "a.c"));
    actions.set_lexer(&lexer);
    measure.set_lexer(&lexer);
    probes.set_lexer(&lexer);
    if (preprocessor.start_file("a.c")) parse(actions, probes);
    emitter.finish();
    if (lines) *lines = line_map_text({"d", probes.function_lines()});
    std::string text;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
    std::fclose(out);
    return text;
}

// The text between the first occurrences of `from` and `to` (which
// follows it), or "<missing>".
std::string between(const std::string& text, const std::string& from, const std::string& to) {
    size_t start = text.find(from);
    if (start == std::string::npos) return "<missing>";
    start += from.size();
    size_t end = text.find(to, start);
    return end == std::string::npos ? "<missing>" : text.substr(start, end - start);
}

bool before(const std::string& text, const std::string& first, const std::string& second) {
    size_t a = text.find(first);
    size_t b = text.find(second);
    return a != std::string::npos && b != std::string::npos && a < b;
}

// The parser reads the token after an if without else before it reduces
// the if: the implicit else's probe still goes before that token, and each
// branch's probe inside its branch.
TEST(ProbingEvents, BranchProbesLandInTheirBranchesDespiteTheLookahead) {
    std::string text = instrumented("int f(int a)\n{\n    int y = 0;\n    if (a)\n        y = 1;\n    y = y + 2;\n"
                                    "    return y;\n}\n");
    EXPECT_TRUE(before(text, "QVX_CDX(f,1,2)", "y = 1")) << text;
    EXPECT_TRUE(before(text, "y = 1", "QVX_CDX(f,1,3)")) << text;
    EXPECT_TRUE(before(text, "QVX_CDX(f,1,3)", "y = y + 2")) << text;
    EXPECT_NE(between(text, "if ( a )", "y = 1").find("QVX_CDX(f,1,2)"), std::string::npos) << text;
}

// A while loop's body probe opens the body; its exit probe (numbered
// after the if's two branches) follows the loop and is skipped by a break,
// which sets the flag it tests.
TEST(ProbingEvents, LoopExitProbeFollowsTheLoopAndBreakSetsItsFlag) {
    std::string text = instrumented("int f(int a)\n{\n    while (a > 0) {\n        if (a == 3)\n            break;\n"
                                    "        a--;\n    }\n    return a;\n}\n");
    std::string body = between(text, "while ( a > 0 )", "a --");
    EXPECT_NE(body.find("QVX_CDX(f,1,2)"), std::string::npos) << text;
    EXPECT_NE(between(text, "a --", "return a").find("if (!qvxbrk) QVX_CDX(f,1,5)"), std::string::npos) << text;
    EXPECT_NE(between(text, "a == 3", "a --").find("qvxbrk = 1"), std::string::npos) << text;
}

// Each case group gets its probe before its first statement; a switch
// without default gets the implicit default's probe after it.
TEST(ProbingEvents, CaseProbesOpenTheirGroupsAndTheImplicitDefaultClosesTheSwitch) {
    std::string text = instrumented("int f(int a)\n{\n    switch (a) {\n    case 1:\n    case 2:\n        a = 5;\n"
                                    "        break;\n    case 3:\n        a = 7;\n    }\n    return a;\n}\n");
    EXPECT_TRUE(before(text, "case 2 :", "QVX_CDX(f,1,2)")) << text;
    EXPECT_TRUE(before(text, "QVX_CDX(f,1,2)", "a = 5")) << text;
    EXPECT_TRUE(before(text, "case 3 :", "QVX_CDX(f,1,3)")) << text;
    EXPECT_TRUE(before(text, "QVX_CDX(f,1,3)", "a = 7")) << text;
    EXPECT_TRUE(before(text, "a = 7", "QVX_CDX(f,1,4)")) << text;
    EXPECT_TRUE(before(text, "QVX_CDX(f,1,4)", "return a")) << text;
}

// With condition coverage, the decision's conditions are evaluated one
// by one in the order written, and the text around them is kept.
TEST(ProbingEvents, ConditionCoverageWrapsEachConditionInOrder) {
    std::string text = instrumented("int f(int a, int b, int c)\n{\n    if ((a && b) || !c)\n        return 1;\n"
                                    "    return 0;\n}\n",
                                    true);
    std::string decision = between(text, "if (", "QVX_CDX(f,1,2)");
    EXPECT_TRUE(before(decision, "QVX_EVAL_0(0, 0, a)", "QVX_EVAL_0(0, 1, b)")) << text;
    EXPECT_TRUE(before(decision, "QVX_EVAL_0(0, 1, b)", "QVX_EVAL_0(0, 2, c)")) << text;
    EXPECT_NE(decision.find("||"), std::string::npos) << text;
    EXPECT_NE(decision.find("!"), std::string::npos) << text;
    EXPECT_EQ(instrumented("int f(int a, int b)\n{\n    if (a && b)\n        return 1;\n    return 0;\n}\n")
                  .find("QVX_EVAL"),
              std::string::npos);
}

// The counts of the lines: a branch counts its region; the end of an if,
// a loop or a switch gathers the regions that reach it; a jump leaves
// nothing to the line after it; a label's line is no code; a case label
// counts as the statements after it, with what falls through.
TEST(LineCounts, FollowTheFlowFromProbeToProbe) {
    std::string lines;
    instrumented("int f(int a)\n"     // 1: the entry
                 "{\n"
                 "    if (a)\n"       // 3
                 "        return 1;\n"  // 4: the if's branch (2)
                 "    else {\n"       // 5: braces and else are no code
                 "        a++;\n"     // 6: the else's branch (3)
                 "    }\n"
                 "    while (a > 9) {\n"  // 8: the body's branch and the exit's
                 "        if (a == 12)\n"
                 "            break;\n"    // 10
                 "        a--;\n"          // 11: the else of the if (6)
                 "    }\n"
                 "    switch (a) {\n"      // 13: the exit and the break
                 "    case 1:\n"           // 14: its group (8)
                 "        a = 2;\n"
                 "    case 2: a = 3;\n"    // 16: falls through, and its group
                 "    }\n"
                 "again:\n"                // 18: no code
                 "    a++;\n"              // 19: a loop no probe counts
                 "    goto again;\n"
                 "}\n",                    // 21: the exits
                 false, &lines);
    EXPECT_EQ(lines,
              "qor-lines 1\nD d\nF 1 f\n"
              "1 1\n3 1\n4 2\n6 3\n8 4+7\n9 4\n10 5\n11 6\n13 5+7\n14 8\n15 8\n16 8+9\n"
              "21 x\n");
}

}  // namespace
}  // namespace qor
