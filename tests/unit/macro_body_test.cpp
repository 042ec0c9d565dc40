// Function-like macros of the options file: parameters, '#' and '##' in
// their bodies, as the lexer receives their expansions.
#include <gtest/gtest.h>

#include "lexer_support.hpp"

namespace qor {
namespace {

using test::LexerRun;
using test::Tokens;

using MacroBodyTest = test::LexerFixture;

TEST_F(MacroBodyTest, ParametersAreWholeNamesOutsideLiterals) {
    LexerRun run;
    run.predefined("D P(x) x xx \"x\" 'x' x1 _x x\n");
    EXPECT_EQ(run.lex("a.c", "P(7)\n"),
              (Tokens{"const:7", "id:xx", "str:\"x\"", "const:'x'", "id:x1", "id:_x", "const:7"}));
}

TEST_F(MacroBodyTest, HashStringizesTheArgument) {
    LexerRun run;
    run.predefined("D S(x) #x\nD T(x) #  x\nD U(a, b) #b a\n");
    EXPECT_EQ(run.lex("a.c", "S(a  +  b) T(\"q\") U(1, two)\n"),
              (Tokens{"str:\"a  +  b\"", "str:\"\\\"q\\\"\"", "str:\"two\"", "const:1"}));
    EXPECT_EQ(run.messages, "");

    // Only a parameter may follow.
    testing::internal::CaptureStderr();
    run.predefined("D V(x) #(x)\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error(s): strange character '(' after #\n");
}

TEST_F(MacroBodyTest, DoubleHashPastesAcrossBlanks) {
    LexerRun run;
    run.predefined("D C(a, b) a  ##  b\nD L(a) pre ## a\nD R(a) a##_post\nD N(a) a ## 12\n");
    EXPECT_EQ(run.lex("a.c", "C(ab, cd) L(fix) R(x) N(v) C(1, 2)\n"),
              (Tokens{"id:abcd", "id:prefix", "id:x_post", "id:v12", "const:12"}));
    EXPECT_EQ(run.messages, "");
}

// A reference to any parameter survives the end of a nested body, and bytes
// of the body's text are text, whatever their value.
TEST_F(MacroBodyTest, BodiesAreTextAndReferencesWhateverTheirBytes) {
    LexerRun run;
    run.predefined("D CAT(a, b) a b\n"
                   "D W CAT(x, y)\n"
                   "D NINTH(a, b, c, d, e, f, g, h, i) i\n"
                   "D N NINTH(1, 2, 3, 4, 5, 6, 7, 8, last)\n"
                   "D RAW \"\x7f\x01\x1c\xfd\x01\"\n"
                   "D ARG(a) \"\x7f\x01\" a\n");
    EXPECT_EQ(run.lex("a.c", "W N RAW ARG(z)\n"),
              (Tokens{"id:x", "id:y", "id:last", "str:\"\x7f\x01\x1c\xfd\x01\"", "str:\"\x7f\x01\"", "id:z"}));
}

}  // namespace
}  // namespace qor
