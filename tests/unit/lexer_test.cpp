#include "frontend/lexer.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "lexer_support.hpp"

namespace qor {
namespace {

using test::ExitCalled;
using test::LexerRun;
using test::Tokens;
using test::write_file;

using LexerTest = test::LexerFixture;

TEST_F(LexerTest, TokensOfTheSwitch) {
    LexerRun run;
    std::vector<std::string> ops;
    run.on_token = [&](Lexer& lexer) { ops.push_back(lexer.value().op); };
    Tokens tokens = run.lex("a.c", "a<<=b; a< <b; x ... y; <%%><::> %:; L'c' l\"s\" Lx type_t unsigned $v\n");
    EXPECT_EQ(tokens, (Tokens{"id:a", "assign:<<=", "id:b", ";", "id:a", "<", "<", "id:b", ";", "id:x", "...", "id:y",
                              ";", "<%", "%>", "<:", ":>", "%", ":", ";", "const:L'c'", "str:l\"s\"", "id:Lx",
                              "type:type_t", "unsigned", "id:$v"}));
    EXPECT_EQ(ops[1], "<<=");
}

TEST_F(LexerTest, KeywordsFollowTheDialect) {
    EXPECT_EQ(LexerRun("KR78").lex("a.c", "const x;\n"), (Tokens{"id:const", "id:x", ";"}));
    LexerRun gnu("GNU");
    int attribute = 0;
    gnu.on_token = [&](Lexer& lexer) {
        if (lexer.token_text() == "__attribute__") attribute = lexer.value().has_str ? -1 : 1;
    };
    gnu.lex("b.c", "__attribute__((x))\n");
    EXPECT_EQ(attribute, 1);
    EXPECT_EQ(LexerRun("MSC70").lex("c.c", "asm\n"), (Tokens{"id:asm"}));
}

TEST_F(LexerTest, LexicalErrorsKeepTheirTokens) {
    LexerRun run;
    Tokens tokens = run.lex("a.c", "x .. y '' 12abc 0b1.0 1.2.3 0x1.8p3 08 \\ q\n");
    EXPECT_EQ(tokens, (Tokens{"id:x", ".", "id:y", "const:''", "const:12abc", "const:0b1.0", "const:1.2.3",
                              "const:0x1.8p3", "const:08", "\\", "id:q"}));
    EXPECT_EQ(run.messages,
              "a.c(1): Error:  parse error at `..'\n"
              "a.c(1): Error:  invalid character constant\n"
              "a.c(1): Error:  nondigits in number\n"
              "a.c(1): Error:  invalid floating constant\n"
              "a.c(1): Error:  invalid floating constant\n"
              "a.c(1): Error:  Invalid character '\\' in code\n");
}

TEST_F(LexerTest, LinesThatStartWithHash) {
    LexerRun run;
    Tokens tokens = run.lex("a.c",
                            "#ident \"x\"\n#error don't\n# \n#pragma once\n#frobnicate\n#!\n"
                            "  # /* c */ if 1\n a\\\n b\n#endif\n#define M(x) \\\n  x\nc\n");
    EXPECT_EQ(tokens, (Tokens{"id:a", "id:b", "id:c"}));
    EXPECT_EQ(run.lines, (std::vector<int>{8, 9, 13}));
    EXPECT_EQ(run.messages, "a.c(6): Warning:  Undefined or invalid # directive\n");
}

TEST_F(LexerTest, PragmaAsmBlocksInTheMccDialects) {
    const char* text = "#pragma asm\n mov a, b\n#pragma endasm\nint x;\n";
    EXPECT_EQ(LexerRun("MCC").lex("a.c", text), (Tokens{"int", "id:x", ";"}));
    EXPECT_EQ(LexerRun("ANSI").lex("b.c", text), (Tokens{"id:mov", "id:a", ",", "id:b", "int", "id:x", ";"}));
}

TEST_F(LexerTest, IgnoredRegions) {
    write_file("rules.ign", "C: __asm { --> }\n# pragma warning --> $\n__declspec ( --> )\nU: _Pragma --> )\n");
    auto rules = IgnoreRules::load("rules.ign");
    ASSERT_TRUE(rules);
    LexerRun run;
    run.ignore(&*rules);
    run.client.open = true;
    Tokens tokens = run.lex("a.c",
                            "__asm { mov { x } } a;\n#pragma warning(disable:4100)\n__declspec(dllexport) int f;\n"
                            "_Pragma(\"x(\") b\n__asm { never closed\n");
    // The unfinished region runs to the end of the input.
    EXPECT_EQ(tokens, (Tokens{"id:a", ";", "int", "id:f", ";", "id:b", "id:__asm"}));
    EXPECT_EQ(run.client.ignored, (std::vector<std::string>{"a.c:1"}));
    EXPECT_EQ(run.messages, "a.c(6): Warning:  end of file found while looking for end of ignore sequence.\n");
}

TEST_F(LexerTest, MacroUsesAreCountedOnceAtTheOutermostLevel) {
    LexerRun run;
    run.predefined("D SQ(x) ((x)*(x))\nD ONE 1\nD TWO (ONE+ONE)\n");
    run.client.open = true;
    Tokens tokens = run.lex("a.c", "SQ(a, b) TWO x\n");
    EXPECT_EQ(run.client.occurrences, (std::vector<std::string>{"5:SQ()", "3:a", "5:,", "3:b", "5:TWO"}));
    EXPECT_EQ(run.client.totals["MACP"], 1);
    EXPECT_EQ(run.client.totals["MACC"], 1);
    // Only the token of the file text itself is counted.
    EXPECT_EQ(run.from_source.back(), true);
    EXPECT_EQ(run.from_source.front(), false);
}

TEST_F(LexerTest, CommentMarkersOfTheExternalPreprocessor) {
    LexerRun run;
    run.client.open = true;
    Tokens tokens = run.lex("a.c",
                            "/*@QOR #incl: inc/h.h\"*/\n# 1 \"inc/h.h\"\nh\n# 3 \"a.c\"\n"
                            "/*@QOR #macro MAX(a, (b,c))*/ ( a ) /*@QOR #f_end */ /*@QOR #macro N*/ 3 /*@QOR #f_end */ z"
                            " /*@QOR #incl: a.c\"*/ /*@QOR #qxxxx skipped*/ /*@QOR #z ordinary*/\n");
    EXPECT_EQ(tokens, (Tokens{"id:h", "(", "id:a", ")", "const:3", "id:z"}));
    EXPECT_EQ(run.from_source, (std::vector<bool>{true, false, false, false, false, true}));
    EXPECT_EQ(run.client.dependencies, (std::vector<std::string>{"inc/h.h"}));
    EXPECT_EQ(run.client.occurrences,
              (std::vector<std::string>{"5:MAX()", "3:a", "5:,", "3:(b,c)", "5:N"}));
    EXPECT_EQ(run.client.totals["MACP"], 1);
    EXPECT_EQ(run.client.totals["MACC"], 1);
    // Only the last comment is the author's.
    EXPECT_EQ(run.client.totals["BCOM"], 1);
    EXPECT_EQ(run.client.totals["CCOM"], 12);
}

TEST_F(LexerTest, CommentTotalsInsideAndOutsideComponents) {
    LexerRun run;
    int seen = 0;
    run.on_token = [&](Lexer&) {
        if (++seen == 2) run.client.open = true;
    };
    run.lex("a.c", "/* ab */ x /* c */ y // d\n z\n");
    EXPECT_EQ(run.client.totals["BCOB"], 2);
    EXPECT_EQ(run.client.totals["CCOB"], 3);
    EXPECT_EQ(run.client.totals["BCOM"], 2);
    EXPECT_EQ(run.client.totals["CCOM"], 2);
}

TEST_F(LexerTest, SyntaxErrorPhrases) {
    struct Case {
        const char* text;
        const char* message;
        const char* expected;
    };
    const Case cases[] = {
        {"x", "syntax error", "a.c(1): Error:  syntax error before `x'\n"},
        {"\"s\"", "syntax error", "a.c(1): Error:  syntax error before string constant\n"},
        {"'c'", "syntax error", "a.c(1): Error:  syntax error before character constant\n"},
        {"\x01", "syntax error", "a.c(1): Error:  syntax error before character 01\n"},
        {"\xe9", "memory exhausted", "a.c(1): Error:  memory exhausted before character 0351\n"},
    };
    for (const Case& c : cases) {
        LexerRun run;
        std::string message;
        run.on_token = [&](Lexer& lexer) {
            testing::internal::GetCapturedStderr();
            testing::internal::CaptureStderr();
            lexer.syntax_error(c.message);
        };
        run.lex("a.c", c.text);
        EXPECT_EQ(run.messages, c.expected) << c.text;
    }
    // A NUL byte is a token of its own with an empty text.
    std::ofstream("n.c", std::ios::binary) << std::string("a\0b\n", 4);
    LexerRun nul;
    nul.on_token = [&](Lexer& lexer) {
        if (lexer.token_text().empty()) lexer.syntax_error("syntax error");
    };
    EXPECT_EQ(nul.lex("n.c", nullptr), (Tokens{"id:a", "", "id:b"}));
    EXPECT_EQ(nul.messages, "n.c(1): Error:  syntax error at null character\n");
}

TEST_F(LexerTest, AnyBytesEndWithMessagesNeverACrash) {
    std::mt19937 random(7);
    const std::string alphabet = "#if define include \"'/*\\\n\r\t ()?:=<>+-!~0x1.e9abcdefL_$@`\x01\xff";
    for (int round = 0; round < 200; ++round) {
        std::string text;
        int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        if (round % 3 == 0) text += std::string(1, '\0');
        write_file("f.c", text);
        LexerRun run;
        run.predefined("D F(x) F(x x)\nD G G\n");
        try {
            run.lex("f.c", nullptr);
        } catch (const ExitCalled&) {
            testing::internal::GetCapturedStderr();
        }
    }
}

TEST_F(LexerTest, HugeInputs) {
    std::string line = "int " + std::string(1000000, 'v') + " = 1;\n";
    LexerRun wide;
    Tokens tokens = wide.lex("b.c", line.c_str());
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[1].size(), 1000003u);
}

}  // namespace
}  // namespace qor
