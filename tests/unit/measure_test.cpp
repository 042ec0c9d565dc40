// Functions measured from their text: statements, Halstead counts, calls,
// cyclomatic number, nesting, paths, control graphs and decisions.
#include <gtest/gtest.h>

#include "analysis_support.hpp"

namespace qor {
namespace {

using test::Analysis;
using test::ExitCalled;
using test::ScratchDirectory;

class MeasureTest : public testing::Test {
protected:
    void SetUp() override { diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; }); }
    void TearDown() override { diagnostics().set_exit_handler(nullptr); }
    ScratchDirectory scratch;
};

TEST_F(MeasureTest, Dump) {
    Analysis a;
    std::string err = a.run(
        "int g(int);\n"
        "int f(int a, int b)\n"
        "{\n"
        "    int i;\n"
        "    if (a > b)\n"
        "        a = g(b);\n"
        "    else if (a < 0)\n"
        "        return -1;\n"
        "    for (i = 0; i < 10; i++) {\n"
        "        if (i == 3) continue;\n"
        "        if (i == 7) break;\n"
        "        b += i;\n"
        "    }\n"
        "    switch (a) {\n"
        "    case 1:\n"
        "    case 2:\n"
        "        b = 1;\n"
        "        break;\n"
        "    default:\n"
        "        b = 2;\n"
        "    }\n"
        "    while (b--) g(b);\n"
        "    do { a++; } while (a < 3);\n"
        "    return a + b;\n"
        "}\n");
    std::cout << err;
    for (const char* m : {"STMT", "CALL_PATHS", "CALL", "VG", "LEVL", "GOTO", "N_OUT", "RETU", "PARA", "LVAR", "UPRO",
                          "N1", "n1", "N2", "n2", "PATH", "COND_STRUCT", "lc_line", "ct_if", "ct_case", "ct_casepath"})
        std::cout << m << "=" << a.metric("f", m) << "\n";
    std::cout << a.graph("f");
    for (auto& d : a.descriptions("f")) std::cout << d << "\n";
    for (auto& [t, n] : a.usage("f", 5)) std::cout << "op " << t << " " << n << "\n";
    for (auto& [t, n] : a.usage("f", 3)) std::cout << "od " << t << " " << n << "\n";
}

}  // namespace
}  // namespace qor
