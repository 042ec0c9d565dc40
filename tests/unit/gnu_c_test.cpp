// The GNU dialect: what its lexer makes of GNU C, what the installation's
// ignore rules (install/util/GNU.ign) take out of the parse and keep for an
// instrumented file, and how GNU C constructs are measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <string>

#include "analysis_support.hpp"
#include "lexer_support.hpp"

namespace qor {
namespace {

using test::Analysis;
using test::ExitCalled;
using test::LexerRun;
using test::Tokens;

using GnuLexerTest = test::LexerFixture;

// The ignore rules that the installation ships for the GNU dialects.
const IgnoreRules& shipped_gnu_rules() {
    static const IgnoreRules rules = [] {
        auto path = std::filesystem::path(__FILE__).parent_path() / "../../install/util/GNU.ign";
        auto loaded = IgnoreRules::load(path.string());
        if (!loaded) throw std::runtime_error("GNU.ign does not load");
        return std::move(*loaded);
    }();
    return rules;
}

std::string without_blanks(std::string text) {
    std::erase_if(text, [](unsigned char c) { return std::isspace(c); });
    return text;
}

TEST_F(GnuLexerTest, DotsAfterAnOperandAreARange) {
    const char* text = "case 1 ... 3: a[x ... y] f(a, ...) g(...) (n) ... [2] ... q;\n";
    EXPECT_EQ(LexerRun("GNU").lex("a.c", text),
              (Tokens{"case", "const:1", "range:...", "const:3", ":", "id:a", "[", "id:x", "range:...", "id:y", "]",
                      "id:f", "(", "id:a", ",", "...", ")", "id:g", "(", "...", ")", "(", "id:n", ")", "range:...",
                      "[", "const:2", "]", "range:...", "id:q", ";"}));
    // Every other dialect keeps a single token for "...".
    Tokens ansi = LexerRun("ANSI").lex("a.c", text);
    EXPECT_EQ(std::count(ansi.begin(), ansi.end(), "..."), 6);
}

TEST_F(GnuLexerTest, UnicodeLiteralPrefixes) {
    const char* text = "u8\"a\" u\"b\" U'c' u x U8\"d\" u8 'e'\n";
    EXPECT_EQ(LexerRun("GNU").lex("a.c", text), (Tokens{"str:u8\"a\"", "str:u\"b\"", "const:U'c'", "id:u", "id:x",
                                                        "id:U8", "str:\"d\"", "id:u8", "const:'e'"}));
    EXPECT_EQ(LexerRun("C99").lex("a.c", "u8\"a\" U'c'\n"), (Tokens{"id:u8", "str:\"a\"", "id:U", "const:'c'"}));
}

// "[name]" in front of an asm operand is left out of the parse (it only
// names the operand for the template) and kept for an instrumented file;
// brackets anywhere else stay.
TEST_F(GnuLexerTest, AsmOperandNames) {
    const char* text =
        "__asm__ volatile (\"add %[y], %0\" : [out] \"=r\" (r) : \"0\" (a), [ y ] \"rm\" (b[1]) : \"cc\");\n"
        "int v[2] = { [0] = f(x, [1]), [1] = 2 };\n";
    LexerRun run("GNU");
    run.client.instrument = true;
    Tokens tokens = run.lex("a.c", text);
    EXPECT_EQ(tokens, (Tokens{"__asm__", "volatile", "(", "str:\"add %[y], %0\"", ":", "str:\"=r\"", "(", "id:r", ")",
                              ":", "str:\"0\"", "(", "id:a", ")", ",", "str:\"rm\"", "(", "id:b", "[", "const:1", "]",
                              ")", ":", "str:\"cc\"", ")", ";", "int", "id:v", "[", "const:2", "]", "=", "{", "[",
                              "const:0", "]", "=", "id:f", "(", "id:x", ",", "[", "const:1", "]", ")", ",", "[",
                              "const:1", "]", "=", "const:2", "}", ";"}));
    EXPECT_EQ(without_blanks(run.client.echoed), without_blanks(text));
    Tokens ansi = LexerRun("ANSI").lex("a.c", text);
    EXPECT_EQ(std::count(ansi.begin(), ansi.end(), "["), 7);
}

// The shipped rules take GNU annotations out of the token stream wherever
// they stand; an instrumented file receives every character of them.
TEST_F(GnuLexerTest, ShippedRulesRemoveAnnotationsAndKeepTheirText) {
    const char* text =
        "__extension__ typedef struct { int a __attribute__ ((aligned (8))); } __attribute__((packed)) s_t;\n"
        "extern int f (char *__restrict p, const char *restrict q) __attribute__ ((__nonnull__ (1, 2)));\n"
        "_Static_assert (sizeof (int) == 4, \"int (32 bits)\");\n"
        "_Noreturn void g (void);\n"
        "int h (int x) { __label__ out; _Alignas (16) int y = __extension__ ({ x; }); out: return y; }\n";
    LexerRun run("GNU");
    run.ignore(&shipped_gnu_rules());
    run.client.instrument = true;
    Tokens tokens = run.lex("a.c", text);
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(tokens,
              (Tokens{"typedef", "struct", "{", "int", "id:a", ";", "}", "id:s_t", ";",
                      "extern", "int", "id:f", "(", "char", "*", "id:p", ",", "const", "char", "*", "id:q", ")", ";",
                      "void", "id:g", "(", "void", ")", ";",
                      "int", "id:h", "(", "int", "id:x", ")", "{", "int", "id:y", "=", "(", "{", "id:x", ";", "}", ")",
                      ";", "id:out", ":", "return", "id:y", ";", "}"}));
    EXPECT_EQ(without_blanks(run.client.echoed), without_blanks(text));
}

// gcc writes line markers around the macros of system headers even inside
// an expression; inside an ignored region they still set the line numbers.
TEST_F(GnuLexerTest, LineMarkersInsideAnIgnoredRegion) {
    LexerRun run("GNU");
    run.ignore(&shipped_gnu_rules());
    Tokens tokens = run.lex("a.c",
                            "_Static_assert(\n"
                            "# 7 \"a.c\" 3 4\n"
                            "  sizeof (int)\n"
                            "# 7 \"a.c\"\n"
                            "  == 4, \"int\");\n"
                            "int after;\n");
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(tokens, (Tokens{"int", "id:after", ";"}));
    EXPECT_EQ(run.lines, (std::vector<int>{8, 8, 8}));
}

class GnuMeasureTest : public testing::Test {
protected:
    void SetUp() override { diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; }); }
    void TearDown() override { diagnostics().set_exit_handler(nullptr); }

    // Analyses `text` in the GNU dialect with the shipped ignore rules;
    // expects no message.
    Analysis& analyse(Analysis& a, const std::string& text) {
        a.ignore(&shipped_gnu_rules());
        EXPECT_EQ(a.run(text), "");
        return a;
    }

    test::ScratchDirectory scratch;
};

// Attributes, asm labels, __extension__, restrict, static assertions,
// alignment and noreturn specifiers are annotations: each function below
// measures exactly as its plain twin (same lines, same counts, same graph).
TEST_F(GnuMeasureTest, AnnotationsChangeNoMeasurement) {
    struct Twin {
        const char* title;
        const char* annotated;
        const char* plain;
    };
    const Twin twins[] = {
        {"attributes on the definition, parameters, locals and statements",
         "__attribute__((hot)) static int f(int a __attribute__((unused)), int *restrict p)\n"
         "{\n"
         "    int n __attribute__((aligned(16))) = 0;\n"
         "    if (a > 0) __attribute__((cold)) { n = *p; }\n"
         "    switch (a) { case 1: n++; __attribute__((fallthrough)); default: n--; }\n"
         "    return n;\n"
         "}\n",
         "static int f(int a, int *p)\n"
         "{\n"
         "    int n = 0;\n"
         "    if (a > 0) { n = *p; }\n"
         "    switch (a) { case 1: n++; ; default: n--; }\n"
         "    return n;\n"
         "}\n"},
        {"__extension__, static assertions, alignment, labels and asm labels",
         "int f(long long v)\n"
         "{\n"
         "    _Static_assert(sizeof(long long) == 8, \"width\"); __label__ done;\n"
         "    _Alignas(8) register long long r __asm__(\"r12\") = __extension__ (v << 1);\n"
         "    if (r) goto done;\n"
         "    r = __extension__ ({ long long t = r; t + 1; });\n"
         "done: return (int)r;\n"
         "}\n",
         "int f(long long v)\n"
         "{\n"
         "                                                                                  \n"
         "                register long long r                  = (v << 1);\n"
         "    if (r) goto done;\n"
         "    r = ({ long long t = r; t + 1; });\n"
         "done: return (int)r;\n"
         "}\n"},
    };
    for (const Twin& twin : twins) {
        SCOPED_TRACE(twin.title);
        Analysis annotated("GNU"), plain("GNU");
        analyse(annotated, twin.annotated);
        analyse(plain, twin.plain);
        ASSERT_NE(annotated.metrics("f"), nullptr);
        ASSERT_NE(plain.metrics("f"), nullptr);
        std::map<std::string, float> got, expected;
        for (const Metric& m : annotated.metrics("f")->metrics) got[m.name] = m.value;
        for (const Metric& m : plain.metrics("f")->metrics) expected[m.name] = m.value;
        EXPECT_EQ(got, expected);
        EXPECT_EQ(annotated.usage("f", 5), plain.usage("f", 5));
        EXPECT_EQ(annotated.usage("f", 3), plain.usage("f", 3));
        EXPECT_EQ(annotated.graph("f"), plain.graph("f"));
        EXPECT_EQ(annotated.descriptions("f"), plain.descriptions("f"));
    }
}

// A built-in that takes a type name is an operator, like sizeof: no call,
// and the type name is no operand. (The initialised declaration is no
// statement and its '=' no operator, as everywhere.)
TEST_F(GnuMeasureTest, BuiltinsWithTypeArguments) {
    Analysis a("GNU");
    analyse(a,
            "struct s { int x; int y[4]; };\n"
            "long f(__builtin_va_list ap, int k)\n"
            "{\n"
            "    long n = __builtin_va_arg(ap, long);\n"
            "    n += __builtin_offsetof(struct s, y[2]);\n"
            "    n += __builtin_types_compatible_p(__typeof__(n), long) + _Generic(k, int: 1, default: 2);\n"
            "    return n + g(k);\n"
            "}\n");
    EXPECT_EQ(a.usage("f", 5), (std::map<std::string, int>{{"+=", 2},
                                                           {"+", 2},
                                                           {"[]", 1},
                                                           {"__builtin_va_arg", 1},
                                                           {"__builtin_offsetof", 1},
                                                           {"__builtin_types_compatible_p", 1},
                                                           {"_Generic", 1},
                                                           {"g()", 1},
                                                           {";", 3},
                                                           {"return", 1},
                                                           {"{}", 1}}));
    // n: twice after +=, in __typeof__ and after return.
    EXPECT_EQ(a.usage("f", 3), (std::map<std::string, int>{
                                   {"ap", 1}, {"n", 4}, {"y", 1}, {"2", 2}, {"k", 2}, {"1", 1}}));
    EXPECT_EQ(a.metric("f", "CALL"), 1);
    EXPECT_EQ(a.metric("f", "LVAR"), 1);
    EXPECT_EQ(a.metric("f", "STMT"), 3);
}

// A case range is one label: one case, one path, and its text describes
// the decision.
TEST_F(GnuMeasureTest, CaseRanges) {
    Analysis a("GNU");
    analyse(a,
            "int kind(int c)\n"            // 1
            "{\n"                          // 2
            "    switch (c) {\n"           // 3
            "    case '0' ... '9':\n"      // 4
            "        return 1;\n"          // 5
            "    case 'a' ... 'z':\n"      // 6
            "    case 'A' ... 'Z':\n"      // 7
            "        return 2;\n"          // 8
            "    }\n"                      // 9
            "    return 0;\n"              // 10
            "}\n"                          // 11
            "int table[8] = { [0 ... 3] = 1, [4 ... 7] = 2 };\n");
    EXPECT_EQ(a.metric("kind", "ct_case"), 3);
    EXPECT_EQ(a.metric("kind", "ct_casepath"), 2);
    EXPECT_EQ(a.metric("kind", "VG"), 3);
    EXPECT_EQ(a.metric("kind", "PATH"), 3);
    EXPECT_EQ(a.usage("kind", 5).at("..."), 3);
    EXPECT_EQ(a.usage("kind", 3).at("'z'"), 1);
    EXPECT_EQ(a.descriptions("kind"), (std::vector<std::string>{"    1 Begin     2", "    2 Case     4 c == '0'...'9'",
                                                                "    3 Case     6 c ==  'a'...'z', 'A'...'Z'",
                                                                "    4 Else-Case     9 c ==  default"}));
}

}  // namespace
}  // namespace qor
