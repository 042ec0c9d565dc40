#include "frontend/ignore_file.hpp"

#include <gtest/gtest.h>

#include "foundation/diagnostics.hpp"
#include "string_source.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using test::ScratchDirectory;
using test::StringSource;
using test::write_file;

std::optional<IgnoreRules> load_rules(const std::string& content) {
    write_file("rules.ign", content);
    return IgnoreRules::load("rules.ign");
}

struct MatchCase {
    const char* name;
    const char* rules;
    const char* start_word;
    std::string input;  // what follows the start word
    bool found;
    bool eof;
    std::string text;
    std::string rest;  // what the lexer reads next
    bool counted = false;
};

const MatchCase kMatchCases[] = {
    {"asm block with nested braces", "__asm { --> }", "__asm", " { mov eax, 1 { x } } int y;", true, false,
     " { mov eax, 1 { x } } ", "int y;"},
    {"unnested end stops at first paren", "U: _Pragma --> )", "_Pragma", "(f(a)) b", true, false, "(f(a)", ") b"},
    {"nested end balances parens", "_Pragma --> )", "_Pragma", "(f(a)) b) c", true, false, "(f(a)) b) ", "c"},
    {"hash line up to its end", "# pragma warning --> $", "#", "pragma warning(disable:4100)\nint x;", true, false,
     "pragma warning(disable:4100)\n", "int x;"},
    {"other pragma left alone", "# pragma warning --> $", "#", "pragma once\nint x;", false, false, "",
     "pragma once\nint x;"},
    {"bracket in start sequence", "__declspec ( --> )", "__declspec", "(dllexport) int f; x) y", true, false,
     "(dllexport) ", "int f; x) y"},
    {"bracket left to end search runs past", "__declspec --> )", "__declspec", "(dllexport) int f; x) y", true,
     false, "(dllexport) int f; x) ", "y"},
    {"continuation matching no rule", "a b c --> ;", "a", "  b d ; e", false, false, "", "  b d ; e"},
    {"unknown start word", "a --> ;", "z", " a ;", false, false, "", " a ;"},
    {"shared prefix, longer rule", "__far -->\n__far pascal -->", "__far", " pascal f();", true, false, " pascal ",
     "f();"},
    {"shared prefix, shorter rule", "__far -->\n__far pascal -->", "__far", "  int x;", true, false, "", "  int x;"},
    {"two-word bracket end", "__attribute__ ( ( --> ) )", "__attribute__", "((packed)) int", true, false,
     "((packed)) ", "int"},
    {"end words across newlines", "__begin --> end ;", "__begin", " a end\n\n ; b", true, false, " a end\n\n ; ",
     "b"},
    {"mismatching end word starts over", "x --> end ;", "x", " end end ;", true, false, " end end ;", ""},
    {"end of line as later end word", "x --> ; $", "x", " a; b;\nc", true, false, " a; b;\n", "c"},
    {"later rule replaces end", "x --> ;\nx --> )", "x", " a ) ;", true, false, " a ) ", ";"},
    {"later rule replaces flags", "C: x --> ;\nx --> ;", "x", ";", true, false, ";", ""},
    {"counted, upper case", "C: x --> ;", "x", " a;", true, false, " a;", "", true},
    {"counted and unnested, lower case", "c: u: y --> )", "y", "((a)) b", true, false, "((a)", ") b", true},
    {"nested without prefix runs to the end", "y --> )", "y", "((a)) b", false, true, "((a)) b", ""},
    {"NUL byte is a word", "x --> ;", "x", std::string(" a\0b ; c", 8), true, false, std::string(" a\0b ; ", 7),
     "c"},
    {"unterminated region", "__asm { --> }", "__asm", " { mov eax", false, true, " { mov eax", ""},
    {"unterminated, counted", "C: __asm { --> }", "__asm", " { mov", false, true, " { mov", "", true},
    {"end of line at end of input", "# pragma warning --> $", "#", "pragma warning(x)", true, false,
     "pragma warning(x)", ""},
    {"end of input inside start sequence", "a b --> ;", "a", " ", false, false, "", " "},
    {"end of input right after start word", "a --> ;\na b --> ;", "a", "", false, true, "", ""},
    {"empty end at end of input", "a -->\na b -->", "a", " ", true, false, "", " "},
};

TEST(IgnoreRegion, MatchesAndLeavesTheRestOfTheInput) {
    ScratchDirectory dir;
    for (const MatchCase& c : kMatchCases) {
        SCOPED_TRACE(c.name);
        auto rules = load_rules(c.rules);
        ASSERT_TRUE(rules);
        StringSource input(c.input);
        IgnoredRegion region = rules->ignore_region(c.start_word, input);
        EXPECT_EQ(region.found, c.found);
        EXPECT_EQ(region.eof, c.eof);
        EXPECT_EQ(region.text, c.text);
        EXPECT_EQ(input.rest(), c.rest);
        if (c.found || c.eof) {
            EXPECT_EQ(region.counted, c.counted);
        }
    }
}

TEST(IgnoreRegion, DeepNestingAndLongRegions) {
    ScratchDirectory dir;
    auto rules = load_rules("__asm { --> }\n");
    ASSERT_TRUE(rules);
    std::string body = std::string(10000, '(') + std::string(10000, '{') + std::string(10000, '}') +
                       std::string(10000, ')');
    StringSource input(" { " + body + " } x");
    IgnoredRegion region = rules->ignore_region("__asm", input);
    EXPECT_TRUE(region.found);
    EXPECT_EQ(region.text, " { " + body + " } ");
    EXPECT_EQ(input.rest(), "x");
}

// Once the start sequence has matched, the line-start reader sees every
// new line of the region first; what it takes is no part of the region.
// While the start sequence is still matching it is never called, so that a
// failed match leaves the input exactly as it was.
TEST(IgnoreRegion, LineStartReaderSeesEachNewLine) {
    ScratchDirectory dir;
    auto rules = load_rules("x ( --> ) ;\nw v --> ;\n");
    ASSERT_TRUE(rules);
    StringSource input(" (a,\n# 7 \"f.c\"\n b\n) ; rest");
    std::vector<std::string> markers;
    auto take_marker = [&] {
        int c = input.read_char();
        if (c != '#') {
            input.unread_char(c);
            markers.push_back("-");
            return;
        }
        std::string line = "#";
        while ((c = input.read_char()) != '\n') line += static_cast<char>(c);
        markers.push_back(line);
    };
    IgnoredRegion region = rules->ignore_region("x", input, take_marker);
    EXPECT_TRUE(region.found);
    EXPECT_EQ(region.text, " (a,\n b\n) ; ");
    EXPECT_EQ(input.rest(), "rest");
    EXPECT_EQ(markers, (std::vector<std::string>{"# 7 \"f.c\"", "-"}));

    markers.clear();
    StringSource other("\n# 1 \"f.c\"\n v ;");
    EXPECT_FALSE(rules->ignore_region("w", other, take_marker).found);
    EXPECT_EQ(other.rest(), "\n# 1 \"f.c\"\n v ;");
    EXPECT_TRUE(markers.empty());
}

struct LoadCase {
    const char* name;
    const char* content;
    bool loads;
};

const LoadCase kLoadCases[] = {
    {"no arrow", "foo bar\n", false},
    {"arrow first", "--> x\n", false},
    {"arrow first after prefixes", "C: U: --> x\n", false},
    {"prefixes only", "c: u:\n", false},
    {"bad line after good ones", "a --> ;\nb --> )\nfoo bar\n", false},
    {"comments and blank lines", "// a rule --> x\n\n  \t \n   //--> y\n", true},
    {"last line without newline", "a --> ;", true},
    {"CRLF line ends", "a --> ;\r\n\r\n", true},
};

TEST(IgnoreFileLoad, MalformedLinesDisableTheWholeFile) {
    ScratchDirectory dir;
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.name);
        int warnings = diagnostics().warning_count();
        testing::internal::CaptureStderr();
        auto rules = load_rules(c.content);
        std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(rules.has_value(), c.loads);
        EXPECT_EQ(diagnostics().warning_count(), warnings + (c.loads ? 0 : 1));
        EXPECT_EQ(printed, c.loads ? "" : "Warning: syntax error in ignore file\n");
    }
}

TEST(IgnoreFileLoad, CommentOnlyFileMatchesNothing) {
    ScratchDirectory dir;
    auto rules = load_rules("// a b --> c\n//x --> y\n");
    ASSERT_TRUE(rules);
    EXPECT_EQ(rules->ignore_file_name(), "rules.ign");
    for (const char* word : {"//", "a", "x", "-->", "#"}) EXPECT_FALSE(rules->starts_rule(word)) << word;
    StringSource input(" b --> c");
    EXPECT_FALSE(rules->ignore_region("a", input).found);
    EXPECT_EQ(input.rest(), " b --> c");
}

TEST(IgnoreFileLoad, CrlfEndWordsMatchAndMissingFileIsReported) {
    ScratchDirectory dir;
    auto rules = load_rules("x --> ;\r\n");
    ASSERT_TRUE(rules);
    StringSource input(" a ; b");
    EXPECT_TRUE(rules->ignore_region("x", input).found);
    EXPECT_EQ(input.rest(), "b");

    int warnings = diagnostics().warning_count();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(IgnoreRules::load("missing.ign"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(diagnostics().warning_count(), warnings + 1);
}

TEST(IgnoreFileLoad, LinesLongerThanTheFormatAreReadWhole) {
    ScratchDirectory dir;
    std::string start;
    for (int i = 0; i < 300; ++i) start += " w" + std::to_string(i);
    auto rules = load_rules("w" + start + " --> ;\n");
    ASSERT_TRUE(rules);
    StringSource input(start + " a ; b");
    EXPECT_TRUE(rules->ignore_region("w", input).found);
    EXPECT_EQ(input.rest(), "b");

    // A start sequence of half a million words builds and releases a deep chain.
    std::string huge = "w";
    for (int i = 0; i < 500000; ++i) huge += " x";
    rules = load_rules(huge + " --> ;\n");
    ASSERT_TRUE(rules);
    EXPECT_TRUE(rules->starts_rule("w"));
    rules.reset();
}

}  // namespace
}  // namespace qor
