#include <gtest/gtest.h>

#include <filesystem>

#include "driver/output_names.hpp"
#include "driver/pipeline.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using test::ScratchDirectory;

RunOptions with_sources(std::vector<std::string> sources) {
    RunOptions options;
    options.program_name = "qor_cc";
    options.source_files = std::move(sources);
    return options;
}

TEST(StripOutputExtension, CutsAtTheFirstKnownOutputExtension) {
    EXPECT_EQ(strip_output_extension("x.inst.obj"), "x");
    EXPECT_EQ(strip_output_extension("out.o"), "out");
    EXPECT_EQ(strip_output_extension("a.b.o"), "a.b");
    EXPECT_EQ(strip_output_extension("d.x/prog"), "d.x/prog");
    EXPECT_EQ(strip_output_extension("x.c"), "x.c");
    EXPECT_EQ(strip_output_extension("x.O"), "x.O");
}

TEST(ResultFileName, CurrentDirectoryOutputDirectoryOrOutputFile) {
    auto plain = with_sources({"src/a.c"});
    EXPECT_EQ(result_file_name(plain, "src/a.c", "sta"), "a.sta");
    EXPECT_EQ(results_directory_of(plain, "src/a.c"), ".");

    auto dir = with_sources({"src/a.c", "b.c"});
    dir.output_directory = "out/";
    EXPECT_EQ(result_file_name(dir, "src/a.c", "sta"), "out/a.sta");
    EXPECT_EQ(result_file_name(dir, "b.c", "mtr"), "out/b.mtr");
    EXPECT_EQ(results_directory_of(dir, "b.c"), "out");

    auto file = with_sources({"a.c"});
    file.output_file = "build/x";
    EXPECT_EQ(result_file_name(file, "a.c", "sta"), "build/x.sta");
    EXPECT_EQ(object_output_name(file), "build/x.o");
    EXPECT_EQ(link_output_name(file, "sta"), "build/x.arc.sta");
}

TEST(ResultFileName, CacheAndBuildStateNames) {
    auto plain = with_sources({"src/foo.c"});
    EXPECT_EQ(cache_file_name(plain, "src/foo.c"), "cache/foo.qor_cc");
    EXPECT_EQ(build_state_file_name(plain, "src/foo.c"), "build_state.srr");
    plain.output_directory = "out";
    EXPECT_EQ(cache_file_name(plain, "src/foo.c"), "out/cache/foo.qor_cc");
    EXPECT_EQ(build_state_file_name(plain, "src/foo.c"), "out/build_state.srr");
    EXPECT_EQ(link_output_name(plain, "mtr"), "out/a.out.mtr");
}

TEST(InstrumentedFileName, PrefixAndSuffix) {
    ScratchDirectory scratch;
    std::filesystem::create_directory("src");

    auto plain = with_sources({"src/a.c"});
    EXPECT_EQ(instrumented_file_name(plain, "src/a.c"), "a.inst.c");
    EXPECT_EQ(instrumented_file_name(plain, "src/a.c", 'h'), "a.inst.h");

    auto suffix = plain;
    suffix.suffix_given = true;
    suffix.suffix = "_i";
    EXPECT_EQ(instrumented_file_name(suffix, "a.c"), "a._i.c");
    EXPECT_EQ(instrumented_file_name(suffix, "a.c", 'h'), "a._i.h");

    auto prefix = plain;
    prefix.prefix_given = true;
    prefix.prefix = "inst/";
    EXPECT_EQ(instrumented_file_name(prefix, "src/a.c"), "src/inst/a.inst.c");
    EXPECT_TRUE(std::filesystem::is_directory("src/inst"));

    // An empty suffix keeps the source's own name in the prefix directory.
    prefix.suffix_given = true;
    EXPECT_EQ(instrumented_file_name(prefix, "src/a.c"), "src/inst/a.c");
    auto empty_suffix = plain;
    empty_suffix.suffix_given = true;
    EXPECT_EQ(instrumented_file_name(empty_suffix, "a.c"), "a.inst.c");
}

TEST(ModuleName, KeepsTheSeparatorAndDropsTheExtension) {
    EXPECT_EQ(module_name("src/dir/a.c"), "/a");
    EXPECT_EQ(module_name("a.c"), "a");
    EXPECT_EQ(module_name("dir\\b.c"), "\\b");
}

}  // namespace
}  // namespace qor
