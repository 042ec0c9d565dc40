#include <gtest/gtest.h>


#include "driver/command_line.hpp"
#include "foundation/diagnostics.hpp"
#include "test_support.hpp"
#include "options_support.hpp"

namespace qor {
namespace {

using test::ExitCalled;
using test::ScratchDirectory;
using test::write_file;
using Words = std::vector<std::string>;

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; });
    }
    void TearDown() override { diagnostics().set_exit_handler(nullptr); }

    // Parses "qor_cc -batch <words>" into a fresh option state.
    test::OwnedOptions parse(Words words) {
        test::OwnedOptions options;
        words.insert(words.begin(), {"qor_cc", "-batch"});
        parse_command_line(options, words);
        return options;
    }

    // The exit status of a parse that must end the run.
    int exit_status_of(Words words) {
        try {
            parse(std::move(words));
        } catch (const ExitCalled& e) {
            return e.status;
        }
        return -1;
    }

    ScratchDirectory scratch_;
};

TEST_F(CommandLineTest, OptionsAreSortedIntoPreprocessorAndCompilerLists) {
    auto o = parse({"-G5", "-W3", "-bogus", "-EP", "-D", "X=1", "-Iinc", "-Za", "-MD"});
    EXPECT_EQ(o.said.preprocessor_options,
              (Words{"-D_M_IX86=500", "-W3", "-D", "X=1", "-Iinc", "-D__STDC__=1", "-D_DLL", "-D_MT"}));
    EXPECT_EQ(o.said.compiler_options, (Words{"-W3", "-bogus"}));
    EXPECT_FALSE(o.settings.preprocess_only);
    EXPECT_TRUE(parse({"-E"}).settings.preprocess_only);
}

TEST_F(CommandLineTest, WordsAreSortedByName) {
    write_file("lib.sta", "");
    auto o = parse({"a.C", "b.c", "c.c.bak", "d.Obj", "e.O", "lib.o", "x", "notes.txt", "old.sta", "old.sta", "m.mtr"});
    EXPECT_EQ(o.said.source_files, (Words{"a.C", "b.c"}));
    EXPECT_EQ(o.said.object_files, (Words{"d.Obj", "lib.o"}));
    EXPECT_EQ(o.said.compiler_options, (Words{"c.c.bak", "e.O", "x", "notes.txt"}));
    // lib.o brings its existing companion lib.sta; names are kept once.
    EXPECT_EQ(o.outputs.sta_files, (Words{"lib.sta", "old.sta"}));
    EXPECT_EQ(o.outputs.mtr_files, (Words{"m.mtr"}));
}

TEST_F(CommandLineTest, ExtensionsReplaceTheDefaultFilter) {
    auto o = parse({"-extensions", "*.cc", "a.cc", "b.c"});
    EXPECT_EQ(o.said.source_files, (Words{"a.cc"}));
    EXPECT_EQ(o.said.compiler_options, (Words{"b.c"}));
}

TEST_F(CommandLineTest, OwnOptionsSetTheirFlags) {
    auto o = parse({"-c", "-cb", "-cc=ccache gcc", "-cond", "-inst", "suffix=_i", "prefix=p/", "-nomtr", "-nocccp",
                    "-nodate", "-mode=noexp", "-cppcomment", "-ddef", "my.def", "-tcl", "my.tcl", "-cacheon"});
    EXPECT_EQ(o.said.compiler_command, "ccache gcc");
    EXPECT_TRUE(o.settings.basic_counts && o.said.dynamic_mode && o.settings.cpp_comments && o.settings.no_date);
    EXPECT_FALSE(o.said.decision_only || o.settings.write_mtr || o.settings.external_preprocessor ||
                 o.settings.macro_expansion);
    EXPECT_EQ(o.said.suffix, "_i");
    EXPECT_EQ(o.said.prefix, "p/");
    EXPECT_TRUE(o.settings.prefix_given && o.settings.suffix_given);
    EXPECT_EQ(o.said.options_file, "my.def");
    EXPECT_EQ(o.settings.instrumentation_script, "my.tcl");
    EXPECT_EQ(o.said.compiler_options, (Words{"-c"}));
}

TEST_F(CommandLineTest, InstWithoutNamesConsumesNothing) {
    auto o = parse({"-inst", "a.c"});
    EXPECT_TRUE(o.said.dynamic_mode);
    EXPECT_EQ(o.said.source_files, (Words{"a.c"}));
    EXPECT_FALSE(o.settings.prefix_given || o.settings.suffix_given);
}

TEST_F(CommandLineTest, MissingValuesShowTheUsage) {
    for (const char* option : {"-dial", "-ddef", "-ign", "-l", "-mac", "-o", "-tcl"}) {
        EXPECT_EQ(exit_status_of({option}), 1) << option;
        EXPECT_EQ(exit_status_of({option, "-c"}), 1) << option;
    }
}

TEST_F(CommandLineTest, FoNamesTheOutputButLeavesTheCompilerOptionsAlone) {
    auto fo = parse({"-cc=gcc", "a.c", "-Fox.obj"});
    EXPECT_EQ(fo.said.output_file, "x");
    EXPECT_EQ(fo.said.compiler_options, (Words{"-Fox.obj"}));
}

TEST_F(CommandLineTest, DynamicModeUsesExistingInstrumentedObjects) {
    write_file("a.inst.o", "");
    write_file("b.inst.obj", "");
    auto o = parse({"-inst", "a.o", "b.OBJ", "c.o", "a.o"});
    EXPECT_EQ(o.said.object_files, (Words{"a.inst.o", "b.inst.obj", "c.o"}));
}

TEST(ResponseLine, QuotesGroupAndBackslashesStayInQuotes) {
    EXPECT_EQ(split_response_line("a\tb\bc  d"), (Words{"a", "b", "c", "d"}));
    EXPECT_EQ(split_response_line("\"x y\" pre\"mid dle\"post"), (Words{"x y", "premid dlepost"}));
    EXPECT_EQ(split_response_line("\"a\\\"b\" c\r"), (Words{"a\\\"b", "c\r"}));
    EXPECT_EQ(split_response_line("\"\""), (Words{""}));
    EXPECT_EQ(split_response_line(""), Words{});
}

TEST(ProgramName, BaseNameCutAtTheFirstDot) {
    EXPECT_EQ(program_name_from_path("/opt/q/bin/qor_cc"), "qor_cc");
    EXPECT_EQ(program_name_from_path("/opt/q.d/bin/qor_cc.exe.old"), "qor_cc");
}

}  // namespace
}  // namespace qor
