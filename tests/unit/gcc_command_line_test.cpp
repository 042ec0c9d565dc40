// gcc's command line in the GNU dialects: the words the compiler gets in a
// plain and in a dynamic build, the preprocessing check of a dynamic build,
// and the question that asks the compiler for its macros.
#include <gtest/gtest.h>

#include "driver/command_line.hpp"
#include "driver/compiler_query.hpp"
#include "driver/gcc_compile.hpp"
#include "options_support.hpp"

namespace qor {
namespace {

using Words = std::vector<std::string>;

test::OwnedOptions parse(Words words) {
    test::OwnedOptions options;
    words.insert(words.begin(), {"qor_cc", "-batch", "-dial", "GNU", "-cc=gcc"});
    parse_command_line(options, words);
    return options;
}

TEST(GccCommandLine, WordsKeepTheirOrderAndArguments) {
    test::OwnedOptions o = parse({"-DX", "-MD", "-MT", "obj/a.c.o", "-MF", "a.d", "-isystem", "sys", "-include", "p.h",
                                  "-o", "obj/a.c.o", "-c", "a.c", "-Wall"});
    EXPECT_EQ(o.said.source_files, Words{"a.c"});
    EXPECT_TRUE(o.said.object_files.empty());
    EXPECT_EQ(o.said.preprocessor_options, (Words{"-DX", "-isystem", "sys", "-include", "p.h"}));
    EXPECT_EQ(gcc_compile_words(o, false), (Words{"-DX", "-MD", "-MT", "obj/a.c.o", "-MF", "a.d", "-isystem", "sys",
                                                  "-include", "p.h", "-o", "obj/a.c.o", "-c", "a.c", "-Wall"}));
    // The instrumented copy takes the source's place and holds the forced
    // header's text; the dependency file is the preprocessing check's,
    // which names the original source.
    o.outputs.instrumented_sources = {"obj/a.c.inst.c"};
    EXPECT_EQ(gcc_compile_words(o, true),
              (Words{"-DX", "-isystem", "sys", "-o", "obj/a.c.o", "-c", "obj/a.c.inst.c", "-Wall"}));
    EXPECT_EQ(gcc_source_check(o, 0), (Words{"-DX", "-MD", "-MT", "obj/a.c.o", "-MF", "a.d", "-isystem", "sys",
                                             "-include", "p.h", "a.c", "-Wall", "-E", "-o", "/dev/null"}));
    // A header compiled to a precompiled one is not analysed.
    EXPECT_TRUE(parse({"-x", "c-header", "-c", "pch.h.c", "-o", "pch.h.gch"}).said.source_files.empty());
}

TEST(GccCommandLine, TheQuestionKeepsWhatChangesMacrosAndSearchPath) {
    test::OwnedOptions o = parse({"-O2", "-DX", "-I", "inc", "-Wall", "-Wp,-D_FORTIFY_SOURCE=2", "-m32", "-std=c99",
                                  "-MD", "-c", "a.c", "-o", "a.o", "-lm", "-pthread"});
    EXPECT_EQ(compiler_query_command(o), (Words{"gcc", "-O2", "-Wp,-D_FORTIFY_SOURCE=2", "-m32", "-std=c99",
                                                "-pthread", "-dM", "-E", "-v", "-x", "c", "/dev/null"}));
}

TEST(GccCommandLine, OptionsFileFromTheAnswer) {
    std::string report = "ignored\n#include \"...\" search starts here:\n q\n#include <...> search starts here:\n"
                         " /usr/lib/gcc/include\n /usr/include\n /Library/F (framework directory)\n"
                         "End of search list.\n";
    EXPECT_EQ(options_file_from_answer("// q", "#define B 2\n#define A(x) (x)\n", report),
              "// q\n// The compiler's predefined macros.\nD A(x) (x)\nD B 2\n"
              "// Its <...> include directories, searched in this order.\n"
              "I /usr/lib/gcc/include\nI /usr/include\nI /Library/F\n");
}

}  // namespace
}  // namespace qor
