// The built-in preprocessor, driven through the lexer as in internal mode.
#include <gtest/gtest.h>

#include <filesystem>

#include "lexer_support.hpp"

namespace qor {
namespace {

using test::ExitCalled;
using test::LexerRun;
using test::Tokens;
using test::write_file;

using PreprocessorTest = test::LexerFixture;

TEST_F(PreprocessorTest, ConditionalsChooseOneBranch) {
    LexerRun run;
    run.options({"-DTWO=2", "-D", "ONE"});
    Tokens tokens = run.lex("a.c",
                            "#if TWO == 1\n a\n#elif ONE && TWO == 2\n b\n#else\n c\n#endif\n"
                            "#ifdef ONE\n d\n#endif\n#ifndef ONE\n e\n#else\n f\n#endif\n"
                            "#if 0\n#if 1\n g\n#else\n h\n#endif\n#endif\n"
                            "#if 0 && 1/0\n i\n#endif\n#if defined X && X\n j\n#endif\n");
    EXPECT_EQ(tokens, (Tokens{"id:b", "id:d", "id:f"}));
    EXPECT_EQ(run.messages, "");
}

TEST_F(PreprocessorTest, MisplacedConditionalsAreErrors) {
    LexerRun run;
    Tokens tokens = run.lex("a.c", "#endif\n#else\n#if 1\n#else\n#else\n#elif 1\n#endif\n#ifdef\n a\n#else\n b\n#endif\n");
    EXPECT_EQ(tokens, (Tokens{"id:a"}));
    EXPECT_EQ(run.messages,
              "a.c(1): Error:  #endif must be in an #if\n"
              "a.c(2): Error:  #else must be in an #if\n"
              "a.c(5): Error:  #else may not follow #else\n"
              "a.c(6): Error:  #elif may not follow #else\n"
              "a.c(8): Error:  #if, #ifdef, or #ifndef without an argument\n");
}

TEST_F(PreprocessorTest, ThirtyOneNestedGroupsAndNoMore) {
    std::string deep;
    for (int i = 0; i < 31; ++i) deep += "#if 1\n";
    deep += "x\n";
    for (int i = 0; i < 31; ++i) deep += "#endif\n";
    EXPECT_EQ(LexerRun().lex("a.c", deep.c_str()), (Tokens{"id:x"}));

    std::string deeper = "#if 1\n" + deep;
    LexerRun run;
    EXPECT_THROW(run.lex("b.c", deeper.c_str()), ExitCalled);
    testing::internal::GetCapturedStderr();
}

TEST_F(PreprocessorTest, QuotedIncludeIsFoundBesideTheIncludingFileFirst) {
    std::filesystem::create_directories("src");
    std::filesystem::create_directories("inc");
    write_file("src/h.h", "beside\n");
    write_file("inc/h.h", "from_inc\n");
    write_file("inc/only.h", "only\n");
    LexerRun run;
    run.predefined("I inc\n");
    Tokens tokens = run.lex("src/a.c", "#include \"h.h\"\n#include <h.h>\n#include <only.h>\nlast\n");
    EXPECT_EQ(tokens, (Tokens{"id:beside", "id:from_inc", "id:only", "id:last"}));
    EXPECT_EQ(run.lines, (std::vector<int>{1, 1, 1, 4}));
    EXPECT_EQ(run.messages, "");
}

TEST_F(PreprocessorTest, MicrosoftStyleNamesUseForwardSlashes) {
    std::filesystem::create_directories("sub");
    write_file("sub/h.h", "found\n");
    EXPECT_EQ(LexerRun("MSC70").lex("a.c", "#include \"sub\\h.h\"\n"), (Tokens{"id:found"}));
    LexerRun ansi;
    ansi.lex("b.c", "#include \"sub\\h.h\"\n");
    EXPECT_EQ(ansi.messages, "b.c(1): Error:  cannot open include file \"sub\\h.h\"\n");
}

TEST_F(PreprocessorTest, CommandLineDirectoriesComeBeforeThoseOfTheOptionsFile) {
    for (const char* dir : {"d1", "d2", "d3"}) {
        std::filesystem::create_directories(dir);
        write_file(std::string(dir) + "/h.h", dir);
    }
    LexerRun run;
    run.predefined("I d3\n").options({"-Id2", "-I", "d1"});
    EXPECT_EQ(run.lex("a.c", "#include <h.h>\n"), (Tokens{"id:d2"}));
}

TEST_F(PreprocessorTest, HeadersThatIncludeEachOtherAreReadOnce) {
    write_file("a.h", "#ifndef A_H\n#define A_H\n#include \"b.h\"\na\n#endif\n");
    write_file("b.h", "#include \"./a.h\"\nb\n");
    LexerRun run;
    EXPECT_EQ(run.lex("m.c", "#include \"a.h\"\n#include \"a.h\"\n"), (Tokens{"id:b", "id:a", "id:b", "id:a"}));
    EXPECT_EQ(run.messages, "");
}

TEST_F(PreprocessorTest, IncludeProblems) {
    LexerRun run;
    run.lex("a.c", "#include <none.h>\n#include none.h\n#include \"x.h\n#if 0\n#include <skipped.h>\n#endif\n");
    EXPECT_EQ(run.messages,
              "a.c(1): Error:  cannot open include file \"none.h\"\n"
              "a.c(2): Error:  #include syntax error\n"
              "a.c(3): Error:  #include syntax error\n");

    LexerRun warned;
    warned.preprocessor().set_include_syntax_warning(true);
    warned.lex("b.c", "#include foo.h\n");
    EXPECT_EQ(warned.messages, "b.c(1): Warning:  #include syntax error\n");
}

TEST_F(PreprocessorTest, LineDirectivesAndMarkersRenameAndRenumber) {
    LexerRun run;
    Tokens tokens = run.lex("a.c", "a\n# 40 \"b.c\"\nb\n#line 7\nc\n#line 3 \"/*x*/.c\" 2\nd 0x;\n");
    EXPECT_EQ(tokens, (Tokens{"id:a", "id:b", "id:c", "id:d", "const:0x", ";"}));
    EXPECT_EQ(run.lines, (std::vector<int>{1, 40, 7, 3, 3, 3}));
    EXPECT_EQ(run.messages, "/*x*/.c(3): Error:  invalid numeric constant\n");
}

// The number of a #line goes up to the largest int, and the lines after it
// stay there.
TEST_F(PreprocessorTest, LineNumbersStopAtTheLargestInt) {
    LexerRun run;
    Tokens tokens = run.lex("a.c", "#line 2147483646\na\nb\nc\n#line 99999999999\nd\ne\n");
    EXPECT_EQ(tokens, (Tokens{"id:a", "id:b", "id:c", "id:d", "id:e"}));
    EXPECT_EQ(run.lines, (std::vector<int>{2147483646, 2147483647, 2147483647, 2147483647, 2147483647}));
}

TEST_F(PreprocessorTest, MacrosOfTheCommandLine) {
    LexerRun run;
    testing::internal::CaptureStderr();
    run.options({"-DW", "-DX", "-DY=", "-DZ=a b", "-UX", "-UNOPE"});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: \"NOPE\" wasn't defined\n");
    EXPECT_EQ(run.lex("a.c", "W X Y Z\n"), (Tokens{"const:1", "id:X", "id:a", "id:b"}));
}

TEST_F(PreprocessorTest, FunctionLikeMacrosOfTheOptionsFile) {
    LexerRun run;
    run.predefined("D MAX(a,b) ((a)>(b)?(a):(b))\nD STR(x) #x\nD CAT(a, b) a ## b\nD f() g\n");
    Tokens tokens = run.lex("a.c", "MAX(1, y) MAX(1) STR(q \"s\") CAT(ab, cd) f() MAX\n");
    EXPECT_EQ(tokens, (Tokens{"(", "(", "const:1", ")", ">", "(", "id:y", ")", "?", "(", "const:1", ")", ":", "(",
                              "id:y", ")", ")", "(", "(", "const:1", ")", ">", "(", ")", "?", "(", "const:1", ")",
                              ":", "(", ")", ")", "str:\"q \\\"s\\\"\"", "id:abcd", "id:g", "id:MAX"}));
    EXPECT_EQ(run.messages, "a.c(1): Warning:  wrong number of macro arguments for \"MAX\"\n");
}

TEST_F(PreprocessorTest, RescanningStopsAtTheMacroItself) {
    LexerRun ansi;
    ansi.predefined("D A A+1\nD P Q\nD Q P\nD F(x) F(x)\n");
    EXPECT_EQ(ansi.lex("a.c", "A P F(2)\n"),
              (Tokens{"id:A", "+", "const:1", "id:P", "id:F", "(", "const:2", ")"}));
    EXPECT_EQ(ansi.messages, "");

    // Without the ANSI guard an endless expansion is cut off with a message.
    LexerRun kr("KR78");
    kr.predefined("D A A\n");
    EXPECT_EQ(kr.lex("b.c", "A;\n"), (Tokens{"id:A", ";"}));
    EXPECT_EQ(kr.messages, "b.c(1): Error:  recursive macro definition of \"A\"\n");
}

TEST_F(PreprocessorTest, ExpansionDepthIsCountedPerUse) {
    std::string lines;
    for (int i = 0; i < 1100; ++i) lines += "#if A\n#endif\n";
    LexerRun many;
    many.predefined("D A 1\n");
    many.lex("a.c", lines.c_str());
    EXPECT_EQ(many.messages, "");

    LexerRun kr("KR78");
    kr.predefined("D A A\n");
    EXPECT_EQ(kr.lex("b.c", "#if A\nx\n#endif\n"), Tokens{});
    EXPECT_EQ(kr.messages, "b.c(1): Error:  recursive macro definition of \"A\"\n");
}

TEST_F(PreprocessorTest, FunctionLikeNameWithoutArguments) {
    LexerRun ansi;
    ansi.predefined("D F(x) x\n");
    EXPECT_EQ(ansi.lex("a.c", "F\n#if 1\nF (1)\n#endif\n"), (Tokens{"id:F", "const:1"}));
    EXPECT_EQ(ansi.messages, "");

    LexerRun kr("KR78");
    kr.predefined("D F(x) x\n");
    EXPECT_EQ(kr.lex("b.c", "F;\n"), (Tokens{";"}));
    EXPECT_EQ(kr.messages, "b.c(1): Warning:  macro \"F\" needs arguments\n");
}

TEST_F(PreprocessorTest, BuiltInMacros) {
    LexerRun run;
    Tokens tokens = run.lex("x\\y.c", "\n__LINE__ __FILE__\n");
    EXPECT_EQ(tokens, (Tokens{"const:2", "str:\"x\\\\y.c\""}));
}

TEST_F(PreprocessorTest, AssertionsOfTheOptionsFileAndTheSource) {
    LexerRun run;
    run.predefined("A machine (i386)\nA  cpu  ( x   86 )\n");
    Tokens tokens = run.lex("a.c",
                            "#if #machine(i386) && #cpu( x 86)\n a\n#endif\n#unassert machine(i386)\n"
                            "#assert os(linux)\n#if #machine(i386) || !#os(linux)\n b\n#endif\n#assert bad\n");
    EXPECT_EQ(tokens, (Tokens{"id:a"}));
    EXPECT_EQ(run.messages, "a.c(9): Warning:  #assert syntax error\n");
}

TEST_F(PreprocessorTest, UndefRemovesTableMacros) {
    LexerRun run;
    run.options({"-DX=1"});
    EXPECT_EQ(run.lex("a.c", "X\n#undef X\nX\n#undef 3\n#define X 5\nX\n"), (Tokens{"const:1", "id:X", "id:X"}));
    EXPECT_EQ(run.messages, "a.c(4): Error:  illegal #undef argument\n");
}

TEST_F(PreprocessorTest, CommentsAreRemovedAndCounted) {
    LexerRun run;
    Tokens tokens = run.lex("a.c", "a /* one\n two */ b // three\nc/**/d \"/*s*/\" '//'\n/* open\n");
    EXPECT_EQ(tokens, (Tokens{"id:a", "id:b", "id:c", "id:d", "str:\"/*s*/\"", "const:'//'"}));
    EXPECT_EQ(run.lines, (std::vector<int>{1, 2, 3, 3, 3, 3}));
    EXPECT_EQ(run.messages, "a.c(5): Error:  EOF in comment\n");
    // Five comments on four lines; "one two three open" has 15 word characters.
    EXPECT_EQ(run.client.totals["LCOB"], 5);
    EXPECT_EQ(run.client.totals["CCOB"], 15);
}

TEST_F(PreprocessorTest, CommentsWithStarsAndCarriageReturns) {
    LexerRun run;
    Tokens tokens = run.lex("a.c", "a /** x * y **/ b\r\n// z*/\r\nc /* p\r\n q*/ d\n");
    EXPECT_EQ(tokens, (Tokens{"id:a", "id:b", "id:c", "id:d"}));
    EXPECT_EQ(run.lines, (std::vector<int>{1, 1, 3, 4}));
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(run.client.totals["LCOB"], 4);
    EXPECT_EQ(run.client.totals["CCOB"], 5);
}

TEST_F(PreprocessorTest, AnUnterminatedCommentEndsWithItsFile) {
    write_file("h.h", "x /* never closed\n");
    LexerRun run;
    EXPECT_EQ(run.lex("a.c", "#include \"h.h\"\ny\n"), (Tokens{"id:x", "id:y"}));
    EXPECT_EQ(run.messages, "h.h(2): Error:  EOF in comment\n");
}

TEST_F(PreprocessorTest, TrigraphsOnlyWithAnsiPreprocessing) {
    EXPECT_EQ(LexerRun().lex("a.c", "?\?=if 1\na?\?(1?\?)?\?!b ?\?? ?\?x\n?\?=endif\n"),
              (Tokens{"id:a", "[", "const:1", "]", "|", "id:b", "?", "?", "?", "?", "?", "id:x"}));
    Tokens kr = LexerRun("KR78").lex("b.c", "a?\?(\n");
    EXPECT_EQ(kr, (Tokens{"id:a", "?", "?", "("}));
}

TEST_F(PreprocessorTest, SizeOption) {
    LexerRun run;
    run.options({"-S1,2,8", "-S*8"});
    EXPECT_EQ(run.lex("a.c", "#if sizeof(int) == 8 && sizeof(char *) == 8\nyes\n#endif\n"), (Tokens{"id:yes"}));
}

TEST_F(PreprocessorTest, PredefinedFileSyntax) {
    LexerRun run;
    testing::internal::CaptureStderr();
    run.predefined("// comment\n/* comment\n\n#define X\nA broken\nA x (open\nE ignored\nD V  a value \r\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Warning: syntax error in predefined macros file\n"
              "Warning: syntax error in predefined macros file\n"
              "Warning: syntax error in predefined macros file\n");
    EXPECT_EQ(test::body_text(*run.preprocessor().macros().find("V")), "a value ");

    testing::internal::CaptureStderr();
    read_predefined("missing.def", run.preprocessor());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error(s): Inaccessible 'missing.def' file.\n");
}

TEST_F(PreprocessorTest, PredefinedParameterCounts) {
    LexerRun run;
    run.predefined("D __STDC__ 1\nD f() x\nD g(a,b) a+b\nI C:\\Program  Files\\inc  \n");
    const MacroTable& macros = run.preprocessor().macros();
    EXPECT_EQ(macros.find("__STDC__")->param_count, kObjectLike);
    EXPECT_EQ(macros.find("f")->param_count, 0);
    EXPECT_EQ(macros.find("g")->param_count, 2);

    testing::internal::CaptureStderr();
    run.predefined("D s(x) # + x\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error(s): strange character '+' after #\n");
}

}  // namespace
}  // namespace qor
