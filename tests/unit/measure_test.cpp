// Functions measured from their text: statements, Halstead counts, calls,
// cyclomatic number, nesting, paths, control graphs and decisions. Every
// expected value below was worked out by hand from the source text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis_support.hpp"

namespace qor {
namespace {

using test::Analysis;
using test::ExitCalled;
using test::ScratchDirectory;
using Counts = std::map<std::string, int>;
using Lines = std::vector<std::string>;

constexpr const char* kCtNames[] = {"ct_andthen", "ct_orelse", "ct_ternary", "ct_switch", "ct_case", "ct_for",
                                    "ct_while", "ct_dowhile", "ct_if", "ct_casepath", "ct_break_inloop", "ct_continue",
                                    "ct_break_inswitch", "ct_bran", "ct_decis", "ct_nest", "ct_loop", "lc_parse"};

// One function and what it measures. The ct_ counters not listed are 0;
// N1, n1, N2 and n2 follow from the operator and operand tables; a metric
// of -1 is one that must not be stored.
struct Measured {
    const char* title;
    std::string source;
    const char* function;
    std::map<std::string, double> metrics;
    Counts operators;
    Counts operands;
    std::string graph;
    Lines decisions;
    const char* dialect = "ANSI";
};

int occurrences(const Counts& counts) {
    int sum = 0;
    for (const auto& [text, count] : counts) sum += count;
    return sum;
}

int count_of(const std::string& text, const std::string& what) {
    int found = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++found;
    return found;
}

class MeasureTest : public testing::Test {
protected:
    void SetUp() override { diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; }); }
    void TearDown() override { diagnostics().set_exit_handler(nullptr); }

    void check(const Measured& m) {
        SCOPED_TRACE(m.title);
        Analysis a(m.dialect);
        EXPECT_EQ(a.run(m.source), "");
        const std::string f = m.function;
        for (const auto& [name, value] : m.metrics) EXPECT_EQ(a.metric(f, name), value) << name;
        for (const char* name : kCtNames) {
            if (m.metrics.count(name) == 0) {
                EXPECT_EQ(a.metric(f, name), 0) << name;
            }
        }
        EXPECT_EQ(a.usage(f, 5), m.operators);
        EXPECT_EQ(a.usage(f, 3), m.operands);
        EXPECT_EQ(a.metric(f, "N1"), occurrences(m.operators));
        EXPECT_EQ(a.metric(f, "n1"), m.operators.size());
        EXPECT_EQ(a.metric(f, "N2"), occurrences(m.operands));
        EXPECT_EQ(a.metric(f, "n2"), m.operands.size());
        EXPECT_EQ(a.graph(f), m.graph);
        EXPECT_EQ(a.descriptions(f), m.decisions);
    }

    ScratchDirectory scratch;
};

TEST_F(MeasureTest, IfElseChainsAndLogicalOperators) {
    const Measured cases[] = {
        {"else-if chain, then an if nested in a block",
         "int f(int a)\n{\n"      // 1-2
         "    int r;\n"           // 3
         "    if (a > 0)\n"       // 4
         "        r = 1;\n"       // 5
         "    else if (a < 0)\n"  // 6
         "        r = 2;\n"       // 7
         "    else\n"             // 8
         "        r = 3;\n"       // 9
         "    if (a == 5) {\n"    // 10
         "        if (r)\n"       // 11
         "            r = 4;\n"   // 12
         "    }\n"                // 13
         "    return r;\n}\n",    // 14-15
         "f",
         {{"STMT", 9}, {"VG", 5}, {"LEVL", 3}, {"PATH", 9}, {"N_OUT", 1}, {"RETU", 1}, {"PARA", 1}, {"LVAR", 1},
          {"CALL", 0}, {"CALL_PATHS", 0}, {"GOTO", 0}, {"COND_STRUCT", 0}, {"lc_line", 15},
          {"ct_if", 4}, {"ct_decis", 4}, {"ct_nest", 2}},
         {{"{}", 2}, {";", 5}, {"=", 4}, {">", 1}, {"<", 1}, {"==", 1}, {"else", 2}, {"return", 1}},
         {{"a", 3}, {"r", 6}, {"0", 2}, {"1", 1}, {"2", 1}, {"3", 1}, {"4", 1}, {"5", 1}},
         ":DEBU ;#1.a.c,\n:SI   ;#4.\n:RIEN /1;#5.\n:SINO ;#6.\n:SI   ;#6.\n:RIEN /1;#7.\n:SINO ;#8.\n"
         ":RIEN /1;#9.\n:FISI ;#9.\n:FISI ;#9.\n:SI   ;#10.\n:SI   ;#11.\n:RIEN /1;#12.\n:FISI ;#12.\n"
         ":FISI ;#13.\n:RETU ;#14.\n:FIN  ;#15.\n",
         {"    1 Begin     2", "    2 If     4 a>0", "    3 Else     6 not(a>0)", "    4 If     6 a<0",
          "    5 Else     8 not(a<0)", "    6 If    10 a==5", "    7 If    11 r", "    8 Else    12 not(r)",
          "    9 Else    13 not(a==5)"}},
        {"logical and conditional operators do not raise VG",
         "int l(int a, int b)\n{\n"     // 1-2
         "    if (a && b || !a)\n"      // 3
         "        return a ? b : 0;\n"  // 4
         "    return 1;\n}\n",          // 5-6
         "l",
         {{"STMT", 3}, {"VG", 2}, {"LEVL", 2}, {"PATH", 2}, {"N_OUT", 2}, {"RETU", 2}, {"PARA", 2}, {"LVAR", 0},
          {"ct_andthen", 1}, {"ct_orelse", 1}, {"ct_ternary", 1}, {"ct_if", 1}, {"ct_decis", 1}, {"ct_nest", 1}},
         {{"{}", 1}, {"&&", 1}, {"||", 1}, {"!", 1}, {"?", 1}, {"return", 2}, {";", 2}},
         {{"a", 3}, {"b", 2}, {"0", 1}, {"1", 1}},
         ":DEBU ;#1.a.c,\n:SI   ;#3.\n:RETU ;#4.\n:FISI ;#4.\n:RETU ;#5.\n:FIN  ;#6.\n",
         {"    1 Begin     2", "    2 If     3 a&&b||!a", "    3 Else     4 not(a&&b||!a)"}},
    };
    for (const Measured& m : cases) check(m);
}

TEST_F(MeasureTest, LoopsWithBreakContinueAndReturn) {
    const Measured cases[] = {
        {"while with continue and break",
         "int w(int n)\n{\n"                // 1-2
         "    int s = 0;\n"                 // 3
         "    while (n > 0) {\n"            // 4
         "        n--;\n"                   // 5
         "        if (n == 3) continue;\n"  // 6
         "        if (n == 7) break;\n"     // 7
         "        s += n;\n"                // 8
         "    }\n"                          // 9
         "    return s;\n}\n",              // 10-11
         "w",
         {{"STMT", 8}, {"VG", 4}, {"LEVL", 3}, {"PATH", 4}, {"N_OUT", 1}, {"RETU", 1}, {"LVAR", 1},
          {"COND_STRUCT", 2}, {"ct_while", 1}, {"ct_if", 2}, {"ct_continue", 1}, {"ct_break_inloop", 1},
          {"ct_bran", 2}, {"ct_loop", 1}, {"ct_decis", 2}, {"ct_nest", 2}},
         {{"{}", 2}, {";", 4}, {"--", 1}, {">", 1}, {"==", 2}, {"+=", 1}, {"while()", 1}, {"break", 1},
          {"return", 1}},
         {{"0", 2}, {"n", 5}, {"s", 2}, {"3", 1}, {"7", 1}},
         ":DEBU ;#1.a.c,\n:TQUE ;#4.\n:RIEN /1;#5.\n:SI   ;#6.\n:REBO ;#6.\n:FISI ;#6.\n:SI   ;#7.\n"
         ":SORT ;#7.\n:FISI ;#7.\n:RIEN /1;#8.\n:FITQ ;#9.\n:RETU ;#10.\n:FIN  ;#11.\n",
         {"    1 Begin     2", "    2 While     4 n>0", "    3 If     6 n==3", "    4 Else     6 not(n==3)",
          "    5 If     7 n==7", "    6 Else     7 not(n==7)", "    7 End-While     9 not(n>0)"}},
        {"a return inside a while that follows an if",
         "int q(int n)\n{\n"                // 1-2
         "    if (n < 0) n = 0;\n"          // 3
         "    while (n) {\n"                // 4
         "        if (n == 4) return 1;\n"  // 5
         "        n--;\n"                   // 6
         "    }\n"                          // 7
         "    return 0;\n}\n",              // 8-9
         "q",
         {{"STMT", 7}, {"VG", 4}, {"LEVL", 3}, {"PATH", 6}, {"N_OUT", 2}, {"RETU", 2}, {"COND_STRUCT", 0},
          {"ct_while", 1}, {"ct_if", 2}, {"ct_loop", 1}, {"ct_decis", 2}, {"ct_nest", 2}},
         {{"{}", 2}, {"<", 1}, {"=", 1}, {"==", 1}, {"return", 2}, {";", 4}, {"--", 1}, {"while()", 1}},
         {{"n", 5}, {"0", 3}, {"4", 1}, {"1", 1}},
         ":DEBU ;#1.a.c,\n:SI   ;#3.\n:RIEN /1;#3.\n:FISI ;#3.\n:TQUE ;#4.\n:SI   ;#5.\n:RETU ;#5.\n:FISI ;#5.\n"
         ":RIEN /1;#6.\n:FITQ ;#7.\n:RETU ;#8.\n:FIN  ;#9.\n",
         {"    1 Begin     2", "    2 If     3 n<0", "    3 Else     3 not(n<0)", "    4 While     4 n",
          "    5 If     5 n==4", "    6 Else     5 not(n==4)", "    7 End-While     7 not(n)"}},
        {"do-while with continue, no return",
         "void d(int n)\n{\n"               // 1-2
         "    do {\n"                       // 3
         "        if (n == 2) continue;\n"  // 4
         "        n = n - 1;\n"             // 5
         "    } while (n);\n}\n",           // 6-7
         "d",
         {{"STMT", 4}, {"VG", 3}, {"LEVL", 3}, {"PATH", 3}, {"N_OUT", 1}, {"RETU", 0}, {"COND_STRUCT", 1},
          {"ct_dowhile", 1}, {"ct_if", 1}, {"ct_continue", 1}, {"ct_bran", 1}, {"ct_loop", 1}, {"ct_decis", 1},
          {"ct_nest", 2}},
         {{"{}", 2}, {";", 1}, {"==", 1}, {"=", 1}, {"-", 1}, {"do while()", 1}},
         {{"n", 4}, {"2", 1}, {"1", 1}},
         ":DEBU ;#1.a.c,\n:REPE ;#3.\n:SI   ;#4.\n:REBO ;#4.\n:FISI ;#4.\n:RIEN /1;#5.\n:UNTI ;#6.\n"
         ":FIN  ;#7.\n",
         {"    1 Begin     2", "    2 If     4 n==2", "    3 Else     4 not(n==2)", "    4 Repeat     6 n",
          "    5 End-Repeat     6 not(n)"}},
        {"for with calls, continue and break; for (;;)",
         "int g(int);\n"                    // 1
         "int h(int n)\n{\n"                // 2-3
         "    int i, t = 0;\n"              // 4
         "    for (i = 0; i < n; i++) {\n"  // 5
         "        if (g(i)) continue;\n"    // 6
         "        t = t + g(i);\n"          // 7
         "        if (t > 9) break;\n"      // 8
         "    }\n"                          // 9
         "    for (;;)\n"                   // 10
         "        break;\n"                 // 11
         "    return t;\n}\n",              // 12-13
         "h",
         {{"STMT", 9}, {"VG", 5}, {"LEVL", 3}, {"PATH", 8}, {"N_OUT", 1}, {"RETU", 1}, {"LVAR", 2}, {"PARA", 1},
          {"CALL", 2}, {"CALL_PATHS", 1}, {"UPRO", 0}, {"COND_STRUCT", 3}, {"ct_for", 2}, {"ct_if", 2},
          {"ct_continue", 1}, {"ct_break_inloop", 2}, {"ct_bran", 3}, {"ct_loop", 2}, {"ct_decis", 2},
          {"ct_nest", 2}},
         {{"{}", 2}, {";", 4}, {"=", 2}, {"<", 1}, {"++", 1}, {"+", 1}, {">", 1}, {"g()", 2}, {"for(;;)", 2},
          {"break", 2}, {"return", 1}},
         {{"0", 2}, {"i", 5}, {"n", 1}, {"t", 4}, {"9", 1}},
         ":DEBU ;#2.a.c,\n:POUR ;#5.\n:SI   ;#6.\n:REBO ;#6.\n:FISI ;#6.\n:RIEN /1;#7.\n:SI   ;#8.\n"
         ":SORT ;#8.\n:FISI ;#8.\n:FIPO ;#9.\n:POUR ;#10.\n:SORT ;#11.\n:FIPO ;#11.\n:RETU ;#12.\n:FIN  ;#13.\n",
         {"    1 Begin     3", "    2 For-Loop     5 i<n", "    3 If     6 g(i)", "    4 Else     6 not(g(i))",
          "    5 If     8 t>9", "    6 Else     8 not(t>9)", "    7 End-For-Loop     9 not(i<n)",
          "    8 For-Loop    10 ", "    9 End-For-Loop    11 not()"}},
    };
    for (const Measured& m : cases) check(m);
}

TEST_F(MeasureTest, Switches) {
    const Measured cases[] = {
        {"grouped cases, no default",
         "int s(int k)\n{\n"    // 1-2
         "    int r = 0;\n"     // 3
         "    switch (k) {\n"   // 4
         "    case 1:\n"        // 5
         "    case 2:\n"        // 6
         "        r = 10;\n"    // 7
         "        break;\n"     // 8
         "    case 3:\n"        // 9
         "        r = 30;\n"    // 10
         "    }\n"              // 11
         "    return r;\n}\n",  // 12-13
         "s",
         {{"STMT", 5}, {"VG", 3}, {"LEVL", 2}, {"PATH", 3}, {"N_OUT", 1}, {"RETU", 1}, {"LVAR", 1},
          {"COND_STRUCT", 1}, {"ct_switch", 1}, {"ct_case", 3}, {"ct_casepath", 2}, {"ct_break_inswitch", 1},
          {"ct_decis", 1}, {"ct_nest", 1}},
         {{"{}", 2}, {";", 4}, {"=", 2}, {"switch()", 1}, {"break", 1}, {"return", 1}},
         {{"0", 1}, {"k", 1}, {"1", 1}, {"2", 1}, {"10", 1}, {"r", 3}, {"3", 1}, {"30", 1}},
         ":DEBU ;#1.a.c,\n:SWCH ;#4.\n!*SD*:RIEN /1;#7.\n:SORT ;#8.\n!*SD*:RIEN /1;#10.\n!*SD*:FISW ;#11.\n"
         ":RETU ;#12.\n:FIN  ;#13.\n",
         {"    1 Begin     2", "    2 Case     5 k == 1, 2", "    3 Case     9 k ==  3",
          "    4 Else-Case    11 k ==  default"}},
        {"default between cases, falling through",
         "void m(int k, int *p)\n{\n"  // 1-2
         "    switch (k) {\n"          // 3
         "    case 0:\n"               // 4
         "        *p = 1;\n"           // 5
         "        break;\n"            // 6
         "    default:\n"              // 7
         "        *p = 2;\n"           // 8
         "    case 5:\n"               // 9
         "        *p = 3;\n"           // 10
         "        break;\n"            // 11
         "    }\n}\n",                 // 12-13
         "m",
         {{"STMT", 6}, {"VG", 4}, {"LEVL", 2}, {"PATH", 3}, {"N_OUT", 1}, {"RETU", 0}, {"PARA", 2},
          {"COND_STRUCT", 2}, {"ct_switch", 1}, {"ct_case", 3}, {"ct_casepath", 3}, {"ct_break_inswitch", 2},
          {"ct_decis", 1}, {"ct_nest", 1}},
         {{"{}", 2}, {";", 5}, {"* unary", 3}, {"=", 3}, {"break", 2}, {"switch()", 1}},
         {{"k", 1}, {"0", 1}, {"p", 3}, {"1", 1}, {"2", 1}, {"5", 1}, {"3", 1}},
         ":DEBU ;#1.a.c,\n:SWCH ;#3.\n!*SD*:RIEN /1;#5.\n:SORT ;#6.\n!*SD*:RIEN /1;#8.\n!*SD*:RIEN /1;#10.\n"
         ":SORT ;#11.\n:FISW ;#12.\n:FIN  ;#13.\n",
         {"    1 Begin     2", "    2 Case     4 k == 0", "    3 Else-Case     7 k ==  default",
          "    4 Case     9 k ==  5"}},
        {"a switch in a case of another, returns in both",
         "int n(int a, int b)\n{\n"     // 1-2
         "    switch (a) {\n"           // 3
         "    case 1:\n"                // 4
         "        switch (b) {\n"       // 5
         "        case 2: return 2;\n"  // 6
         "        default: break;\n"    // 7
         "        }\n"                  // 8
         "    case 3: return 3;\n"      // 9
         "    }\n"                      // 10
         "    return 0;\n}\n",          // 11-12
         "n",
         {{"STMT", 6}, {"VG", 5}, {"LEVL", 3}, {"PATH", 4}, {"N_OUT", 3}, {"RETU", 3}, {"COND_STRUCT", 1},
          {"ct_switch", 2}, {"ct_case", 4}, {"ct_casepath", 4}, {"ct_break_inswitch", 1}, {"ct_decis", 2},
          {"ct_nest", 2}},
         {{"{}", 3}, {";", 4}, {"switch()", 2}, {"return", 3}, {"break", 1}},
         {{"a", 1}, {"b", 1}, {"0", 1}, {"1", 1}, {"2", 2}, {"3", 2}},
         ":DEBU ;#1.a.c,\n:SWCH ;#3.\n!*SD*:SWCH ;#5.\n!*SD*:RETU ;#6.\n!*SD*:SORT ;#7.\n:FISW ;#8.\n"
         "!*SD*:RETU ;#9.\n!*SD*:FISW ;#10.\n:RETU ;#11.\n:FIN  ;#12.\n",
         {"    1 Begin     2", "    2 Case     4 a == 1", "    3 Case     6 b == 2",
          "    4 Else-Case     7 b ==  default", "    5 Case     9 a ==  3", "    6 Else-Case    10 a ==  default"}},
    };
    for (const Measured& m : cases) check(m);
}

TEST_F(MeasureTest, GotoLabelsAndExits) {
    const Measured cases[] = {
        {"early return and a goto: no path count",
         "int e(int x)\n{\n"     // 1-2
         "    if (x < 0)\n"      // 3
         "        return -1;\n"  // 4
         "    if (x == 0)\n"     // 5
         "        goto out;\n"   // 6
         "    x = x * 2;\n"      // 7
         "out:\n"                // 8
         "    return x;\n}\n",   // 9-10
         "e",
         {{"STMT", 6}, {"VG", 3}, {"LEVL", 2}, {"PATH", -1}, {"GOTO", 1}, {"N_OUT", 2}, {"RETU", 2},
          {"ct_if", 2}, {"ct_bran", 1}, {"ct_decis", 2}, {"ct_nest", 1}},
         {{"{}", 1}, {";", 4}, {"return", 2}, {"- unary", 1}, {"goto", 1}, {"<", 1}, {"==", 1}, {"=", 1}, {"*", 1}},
         {{"x", 5}, {"0", 2}, {"1", 1}, {"2", 1}},
         ":DEBU ;#1.a.c,\n:SI   ;#3.\n:RETU ;#4.\n:FISI ;#4.\n:SI   ;#5.\n:SAUT /out;#6.\n:FISI ;#6.\n"
         ":RIEN /1;#7.\n!out:RETU ;#9.\n:FIN  ;#10.\n",
         {"    1 Begin     2", "    2 If     3 x<0", "    3 Else     4 not(x<0)", "    4 If     5 x==0",
          "    5 Else     6 not(x==0)"}},
        {"label ending the body, no return",
         "void z(int x)\n{\n"   // 1-2
         "    if (x)\n"         // 3
         "        goto end;\n"  // 4
         "    x++;\n"           // 5
         "end:\n}\n",           // 6-7
         "z",
         {{"STMT", 3}, {"VG", 2}, {"LEVL", 2}, {"PATH", -1}, {"GOTO", 1}, {"N_OUT", 1}, {"RETU", 0},
          {"ct_if", 1}, {"ct_bran", 1}, {"ct_decis", 1}, {"ct_nest", 1}},
         {{"{}", 1}, {";", 2}, {"goto", 1}, {"++", 1}},
         {{"x", 2}},
         ":DEBU ;#1.a.c,\n:SI   ;#3.\n:SAUT /end;#4.\n:FISI ;#4.\n:RIEN /1;#5.\n!end:RIEN /1;#6.\n:FIN  ;#7.\n",
         {"    1 Begin     2", "    2 If     3 x", "    3 Else     4 not(x)"}},
        {"two returns and a body that does not end with one",
         "void v(int a)\n{\n"         // 1-2
         "    if (a == 1) return;\n"  // 3
         "    if (a == 2) return;\n"  // 4
         "    a = 3;\n}\n",           // 5-6
         "v",
         {{"STMT", 5}, {"VG", 3}, {"LEVL", 2}, {"PATH", 3}, {"N_OUT", 3}, {"RETU", 2}, {"ct_if", 2},
          {"ct_decis", 2}, {"ct_nest", 1}},
         {{"{}", 1}, {"return", 2}, {";", 3}, {"==", 2}, {"=", 1}},
         {{"a", 3}, {"1", 1}, {"2", 1}, {"3", 1}},
         ":DEBU ;#1.a.c,\n:SI   ;#3.\n:RETU ;#3.\n:FISI ;#3.\n:SI   ;#4.\n:RETU ;#4.\n:FISI ;#4.\n"
         ":RIEN /1;#5.\n:FIN  ;#6.\n",
         {"    1 Begin     2", "    2 If     3 a==1", "    3 Else     3 not(a==1)", "    4 If     4 a==2",
          "    5 Else     4 not(a==2)"}},
    };
    for (const Measured& m : cases) check(m);
}

TEST_F(MeasureTest, DeclarationsAndExpressions) {
    const Measured cases[] = {
        {"old-style definition",
         "int f(a, b)\n"            // 1
         "int a;\n"                 // 2
         "char b;\n{\n"             // 3-4
         "    return a + b;\n}\n",  // 5-6
         "f",
         {{"STMT", 1}, {"PARA", 2}, {"PATH", 1}, {"N_OUT", 1}, {"RETU", 1}, {"VG", 1}, {"LEVL", 1},
          {"lc_line", 6}},
         {{"{}", 1}, {"return", 1}, {";", 1}, {"+", 1}},
         {{"a", 1}, {"b", 1}},
         ":DEBU ;#1.a.c,\n:RETU ;#5.\n:FIN  ;#6.\n",
         {"    1 Begin     4"}},
        {"operator texts of expressions; an empty block and an empty statement",
         "struct s { int m; } *p;\n"                                                      // 1
         "int puts(const char *);\n"                                                      // 2
         "int o(int a)\n{\n"                                                              // 3-4
         "    {}\n"                                                                       // 5
         "    ;\n"                                                                        // 6
         "    a = sizeof a + sizeof(int) + p->m + (int)a + ~a + (a, 1) + (a ? 1 : 2);\n"  // 7
         "    a <<= &a != 0;\n"                                                           // 8
         "    puts(\"hi\");\n"                                                            // 9
         "    return -a;\n}\n",                                                           // 10-11
         "o",
         {{"STMT", 5}, {"VG", 1}, {"LEVL", 1}, {"CALL", 1}, {"CALL_PATHS", 1}, {"UPRO", 0}, {"PATH", 1},
          {"N_OUT", 1}, {"RETU", 1}, {"LVAR", 0}, {"ct_ternary", 1}},
         {{"{}", 2}, {";", 5}, {"=", 1}, {"sizeof", 2}, {"+", 6}, {"->", 1}, {"()", 3}, {"~", 1}, {",", 1},
          {"?", 1}, {"<<=", 1}, {"& unary", 1}, {"!=", 1}, {"puts()", 1}, {"return", 1}, {"- unary", 1}},
         {{"a", 9}, {"1", 2}, {"2", 1}, {"0", 1}, {"p", 1}, {"m", 1}, {"\"hi\"", 1}},
         ":DEBU ;#3.a.c,\n:RIEN /5;#5.\n:RETU ;#10.\n:FIN  ;#11.\n",
         {"    1 Begin     4"}},
        {"function pointers: a named one is a callee, a dereferenced one is not",
         "int add(int a, int b) { return a + b; }\n"   // 1
         "int apply(int (*op)(int, int), int v)\n{\n"  // 2-3
         "    int (*fp)(int, int) = op;\n"             // 4
         "    return fp(v, 1) + (*op)(v, 2);\n}\n",    // 5-6
         "apply",
         {{"STMT", 1}, {"PARA", 2}, {"LVAR", 1}, {"CALL", 2}, {"CALL_PATHS", 1}, {"UPRO", 1}, {"PATH", 1},
          {"N_OUT", 1}, {"RETU", 1}},
         {{"{}", 1}, {"return", 1}, {";", 1}, {"+", 1}, {",", 2}, {"()", 2}, {"* unary", 1}, {"fp()", 1}},
         {{"op", 2}, {"v", 2}, {"1", 1}, {"2", 1}},
         ":DEBU ;#2.a.c,\n:RETU ;#5.\n:FIN  ;#6.\n",
         {"    1 Begin     3"}},
        {"designated initializers and a compound literal",
         "struct pt { int x, y; };\n"               // 1
         "int c(void)\n{\n"                         // 2-3
         "    struct pt a = { .x = 1, .y = 2 };\n"  // 4
         "    int v[3] = { [2] = 7 };\n"            // 5
         "    a = (struct pt){ 3, 4 };\n"           // 6
         "    return a.x + v[2];\n}\n",             // 7-8
         "c",
         {{"STMT", 2}, {"PARA", 0}, {"LVAR", 2}, {"PATH", 1}, {"N_OUT", 1}, {"RETU", 1}},
         {{"{}", 1}, {";", 2}, {"=", 1}, {"()", 1}, {"+", 1}, {".", 1}, {"[]", 1}, {"return", 1}},
         {{"1", 1}, {"2", 3}, {"3", 2}, {"4", 1}, {"7", 1}, {"a", 2}, {"x", 1}, {"v", 1}},
         ":DEBU ;#2.a.c,\n:RIEN /1;#6.\n:RETU ;#7.\n:FIN  ;#8.\n",
         {"    1 Begin     3"},
         "C99"},
        {"statement expression",
         "int se(int a)\n{\n"                      // 1-2
         "    int b = ({ int t = a; t * 2; });\n"  // 3
         "    return b;\n}\n",                     // 4-5
         "se",
         {{"STMT", 2}, {"LVAR", 2}, {"PATH", 1}, {"N_OUT", 1}, {"RETU", 1}},
         {{"{}", 2}, {";", 2}, {"*", 1}, {"return", 1}},
         {{"a", 1}, {"t", 1}, {"2", 1}, {"b", 1}},
         ":DEBU ;#1.a.c,\n:RIEN /1;#3.\n:RETU ;#4.\n:FIN  ;#5.\n",
         {"    1 Begin     2"},
         "GNU"},
        {"asm statements: statements without nodes or operators",
         "void as(void)\n{\n"                                        // 1-2
         "    int x = 1;\n"                                          // 3
         "    __asm__ volatile (\"nop\");\n"                         // 4
         "    asm (\"mov %1, %0\" : \"=r\" (x) : \"r\" (x));\n}\n",  // 5-6
         "as",
         {{"STMT", 2}, {"LVAR", 1}, {"PATH", 1}, {"N_OUT", 1}, {"RETU", 0}},
         {{"{}", 1}},
         {{"1", 1}, {"x", 2}},
         ":DEBU ;#1.a.c,\n:FIN  ;#6.\n",
         {"    1 Begin     2"},
         "GNU"},
        {"old-style code without a return type",
         "f(p, n)\n"               // 1
         "register char *p;\n{\n"  // 2-3
         "    int c;\n"            // 4
         "    c = 0;\n"            // 5
         "    while (n--)\n"       // 6
         "        c += *p++;\n"    // 7
         "    return c;\n}\n",     // 8-9
         "f",
         {{"STMT", 4}, {"PARA", 2}, {"VG", 2}, {"LEVL", 2}, {"PATH", 2}, {"N_OUT", 1}, {"RETU", 1},
          {"ct_while", 1}, {"ct_loop", 1}, {"ct_nest", 1}},
         {{"{}", 1}, {";", 3}, {"=", 1}, {"--", 1}, {"+=", 1}, {"* unary", 1}, {"++", 1}, {"while()", 1},
          {"return", 1}},
         {{"c", 3}, {"0", 1}, {"n", 1}, {"p", 1}},
         ":DEBU ;#1.a.c,\n:RIEN /1;#5.\n:TQUE ;#6.\n:RIEN /1;#7.\n:FITQ ;#7.\n:RETU ;#8.\n:FIN  ;#9.\n",
         {"    1 Begin     3", "    2 While     6 n--", "    3 End-While     7 not(n--)"},
         "KR78"},
    };
    for (const Measured& m : cases) check(m);
}

TEST_F(MeasureTest, TypeNameRedeclaredInAnInnerScopeIsAVariableThere) {
    Analysis a;
    EXPECT_EQ(a.run("typedef int T;\nT x;\nvoid f(void) { int T; T = 1; }\nT y;\n"
                    "void g(void) { { int T; T = 2; } T z; z = 3; }\n"),
              "");
    EXPECT_EQ(a.metric("f", "STMT"), 1);
    EXPECT_EQ(a.metric("f", "LVAR"), 1);
    EXPECT_EQ(a.usage("f", 3), (Counts{{"T", 1}, {"1", 1}}));
    EXPECT_EQ(a.metric("g", "LVAR"), 2);
    EXPECT_EQ(a.usage("g", 3), (Counts{{"T", 1}, {"2", 1}, {"z", 1}, {"3", 1}}));
}

// Members have a name space of their own; enumeration constants and
// parameters are ordinary identifiers. In each f, `S *q2 = p;` must stay a
// declaration (no statement, no multiplication). What gcc accepts without
// a warning is in tests/e2e/name_spaces, with gcc as the judge; these are
// the others.
TEST_F(MeasureTest, OnlyOrdinaryIdentifiersHideTypeNames) {
    struct Case {
        const char* title;
        std::string source;
        Counts operators;
    };
    const std::string f = "int f(int *p)\n{\n    S *q2 = p;\n    return *q2;\n}\n";
    const Counts plain = {{"{}", 1}, {";", 1}, {"return", 1}, {"* unary", 1}};
    const Case cases[] = {
        {"a member of a structure declared in a parameter list",
         "typedef int S;\nint g(struct c { S S; } *c) { S s = c->S; return s; }\n" + f, plain},
        {"members in a member's parameter list",
         "typedef int S;\nstruct c { int (*cb)(struct d { int S; } *, int S); S S; };\n" + f, plain},
        // T hides the type name T in the body, as a parameter would.
        {"an enumeration constant in a parameter list",
         "typedef int S, T;\nint f(int *p, enum { T = 2 } e)\n{\n    S *q2 = p;\n    return *q2 * T + e;\n}\n",
         {{"{}", 1}, {";", 1}, {"return", 1}, {"* unary", 1}, {"*", 1}, {"+", 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Analysis a;
        EXPECT_EQ(a.run(c.source), "");
        EXPECT_EQ(a.metric("f", "STMT"), 1);
        EXPECT_EQ(a.usage("f", 5), c.operators);
    }
}

TEST_F(MeasureTest, BadStatementCostsOnlyItself) {
    Analysis a;
    std::string err = a.run(
        "int x;\n"
        "void r(void)\n"
        "{\n"
        "    x = ;\n"
        "    x = 2;\n"
        "}\n"
        "int after(void) { return 0; }\n");
    EXPECT_EQ(count_of(err, "syntax error"), 1) << err;
    EXPECT_EQ(a.metric("r", "STMT"), 1);
    EXPECT_EQ(a.metric("r", "lc_parse"), 1);
    EXPECT_EQ(a.usage("r", 5), (Counts{{"{}", 1}, {";", 1}, {"=", 1}}));
    EXPECT_EQ(a.usage("r", 3), (Counts{{"x", 2}, {"2", 1}}));
    EXPECT_EQ(a.graph("r"), ":DEBU ;#2.a.c,\n:RIEN /1;#5.\n:FIN  ;#6.\n");
    EXPECT_EQ(a.metric("after", "STMT"), 1);
    EXPECT_EQ(a.metric("after", "lc_parse"), 0);

    // The recovery restarts at each of the two discarded tokens ("=" and
    // "1") and swallows two line ends: 3 + 2.
    Analysis b;
    err = b.run("int x;\nvoid r(void)\n{\n    x = = 1\n\n    ;\n    x = 2;\n}\n");
    EXPECT_EQ(count_of(err, "syntax error"), 1) << err;
    EXPECT_EQ(b.metric("r", "lc_parse"), 5);
    EXPECT_EQ(b.metric("r", "STMT"), 1);
}

TEST_F(MeasureTest, FileLevelEdgeCases) {
    {
        SCOPED_TRACE("second definition of a name");
        Analysis a;
        std::string err = a.run("int f(void) { return 1; }\nint f(void) { if (f()) return 2; return 3; }\n");
        EXPECT_EQ(count_of(err, "Component f already analysed"), 1) << err;
        EXPECT_EQ(a.hooks, (Lines{"f:1", "f:2"}));
        EXPECT_EQ(a.metric("f", "STMT"), 1);
        EXPECT_EQ(a.metric("f", "VG"), 1);
        EXPECT_EQ(a.usage("f", 3), (Counts{{"1", 1}}));
        EXPECT_EQ(a.graph("f"), ":DEBU ;#1.a.c,\n:RETU ;#1.\n:FIN  ;#1.\n");
        EXPECT_EQ(a.descriptions("f"), (Lines{"    1 Begin     1"}));
    }
    {
        SCOPED_TRACE("consecutive statements, a condition and a jump");
        Analysis a;
        EXPECT_EQ(a.run("int x, y;\n\nvoid g(void) {\n    x = 1;\n    y = 2;\n    if (x) goto done;\n"
                        "done: ;\n}\n"),
                  "");
        EXPECT_EQ(a.graph("g"), ":DEBU ;#3.a.c,\n:RIEN /2;#4.\n:SI   ;#6.\n:SAUT /done;#6.\n:FISI ;#6.\n"
                                "!done:RIEN /1;#7.\n:FIN  ;#8.\n");
    }
    {
        // The empty body is an empty block, which has a node of its own.
        SCOPED_TRACE("empty body");
        Analysis a;
        EXPECT_EQ(a.run("void n(void)\n{\n}\n"), "");
        EXPECT_EQ(a.graph("n"), ":DEBU ;#1.a.c,\n:RIEN /1;#2.\n:FIN  ;#3.\n");
        EXPECT_EQ(a.metric("n", "STMT"), 0);
        EXPECT_EQ(a.metric("n", "PATH"), 1);
        EXPECT_EQ(a.metric("n", "N_OUT"), 1);
        EXPECT_EQ(a.usage("n", 5), (Counts{{"{}", 1}}));
    }
}

TEST_F(MeasureTest, OldResultsModeBuildsNoGraphAndMeasuresTheSame) {
    const std::string source =
        "int g(int);\n"
        "int f(int a)\n"
        "{\n"
        "    switch (a) { case 1: a = g(a); break; default: a = 0; }\n"
        "    while (a--) if (a == 3) return g(a);\n"
        "    return a;\n"
        "}\n";
    Analysis now;
    EXPECT_EQ(now.run(source), "");
    Analysis old("ANSI", false);
    EXPECT_EQ(old.run(source), "");
    EXPECT_NE(now.graph("f"), "");
    EXPECT_EQ(old.graph("f"), "");
    ASSERT_EQ(now.module("f")->calls.size(), 1u);
    ASSERT_EQ(old.module("f")->calls.size(), 1u);
    EXPECT_EQ(now.module("f")->calls[0].sites.size(), 2u);
    EXPECT_TRUE(old.module("f")->calls[0].sites.empty());
    for (const char* name : {"STMT", "CALL_PATHS", "CALL", "VG", "LEVL", "GOTO", "N_OUT", "RETU", "PARA", "LVAR",
                             "UPRO", "N1", "n1", "N2", "n2", "PATH", "COND_STRUCT", "lc_line"})
        EXPECT_EQ(old.metric("f", name), now.metric("f", name)) << name;
    for (const char* name : kCtNames) EXPECT_EQ(old.metric("f", name), now.metric("f", name)) << name;
    EXPECT_EQ(old.descriptions("f"), now.descriptions("f"));
}

// The parameters of a function are one scope and its body the next, so the
// innermost of 99 nested blocks is scope 100, the deepest allowed.
TEST_F(MeasureTest, HundredScopesAreTheLimit) {
    auto nested = [](size_t blocks) {
        return "void f(void)\n" + std::string(blocks, '{') + "\n" + std::string(blocks, '}') + "\n";
    };
    {
        Analysis a;
        EXPECT_EQ(a.run(nested(99)), "");
        EXPECT_EQ(a.metric("f", "LEVL"), 1);
    }
    auto a = std::make_unique<Analysis>();
    try {
        a->run(nested(100));
        ADD_FAILURE() << "101 scopes were accepted";
    } catch (const ExitCalled& exit) {
        EXPECT_EQ(exit.status, 2);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("Too many nesting : unable to continue analysis"), std::string::npos) << err;
    }
    // The run would have ended here; the component left open is no concern.
    testing::internal::CaptureStderr();
    a.reset();
    testing::internal::GetCapturedStderr();
}

// Included text inside a body, and what counts as a local declaration.
TEST_F(MeasureTest, IncludedStatementsAndLocalDeclarations) {
    {
        // A statement after an #include in a body belongs to the including
        // file again: its node starts a run of its own, named a.c.
        SCOPED_TRACE("statement after an include in a body");
        test::write_file("b.h", "x = 2;\ny = 3;\n");
        Analysis a;
        EXPECT_EQ(a.run("int x, y;\nvoid i(void)\n{\n    x = 1;\n#include \"b.h\"\n    y = 4;\n}\n"), "");
        EXPECT_EQ(a.graph("i"), ":DEBU ;#2.a.c,\n:RIEN /1;#4.\n:RIEN /2;#1.b.h,\n:RIEN /1;#6.a.c,\n:FIN  ;#7.\n");
    }
    {
        // Every declarator reduced while the component is open counts:
        // old-style parameter declarations, names in parameter lists
        // (plain or reusing a type name) and structure members.
        SCOPED_TRACE("declarators inside a component");
        Analysis a;
        EXPECT_EQ(a.run("int f(a, b)\nint a;\nchar b;\n{\n    return a + b;\n}\n"
                        "typedef int T;\n"
                        "void p(void) { int (*fp)(int x); int (*gp)(int T); }\n"
                        "void h(void) { struct { int m, n; } s; }\n"),
                  "");
        EXPECT_EQ(a.metric("f", "LVAR"), 2);
        EXPECT_EQ(a.metric("p", "LVAR"), 4);
        EXPECT_EQ(a.metric("h", "LVAR"), 3);
    }
}

}  // namespace
}  // namespace qor
