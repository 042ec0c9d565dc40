#include <gtest/gtest.h>

#include <filesystem>

#include "driver/output_names.hpp"
#include "driver/pipeline.hpp"
#include "test_support.hpp"
#include "options_support.hpp"

namespace qor {
namespace {

test::OwnedOptions with_sources(std::vector<std::string> sources) {
    test::OwnedOptions options;
    options.settings.program_name = "qor_cc";
    options.said.source_files = std::move(sources);
    return options;
}

TEST(StripOutputExtension, CutsAtTheFirstKnownOutputExtension) {
    EXPECT_EQ(strip_output_extension("x.inst.obj"), "x");
    EXPECT_EQ(strip_output_extension("a.b.o"), "a.b");
    EXPECT_EQ(strip_output_extension("d.x/prog"), "d.x/prog");
    EXPECT_EQ(strip_output_extension("x.O"), "x.O");
}

TEST(ResultFileName, BuildStateMarkerAndObjectName) {
    auto plain = with_sources({"src/foo.c"});
    EXPECT_EQ(build_state_file_name(plain, "src/foo.c"), "build_state.srr");
    plain.said.output_directory = "out";
    EXPECT_EQ(build_state_file_name(plain, "src/foo.c"), "out/build_state.srr");
    auto file = with_sources({"a.c"});
    file.said.output_file = "build/x";
    EXPECT_EQ(result_file_name(file, "a.c", "sta"), "build/x.sta");
    EXPECT_EQ(object_output_name(file), "build/x.o");
}

TEST(InstrumentedFileName, HeaderNamesAndEmptySuffixes) {
    test::ScratchDirectory scratch;
    auto plain = with_sources({"src/a.c"});
    EXPECT_EQ(instrumented_file_name(plain, "src/a.c", 'h'), "a.inst.h");

    auto suffix = plain;
    suffix.settings.suffix_given = true;
    suffix.said.suffix = "_i";
    EXPECT_EQ(instrumented_file_name(suffix, "a.c", 'h'), "a._i.h");

    // An empty suffix keeps the source's own name in the prefix directory,
    // and without a prefix gives the default name.
    auto prefix = plain;
    prefix.settings.prefix_given = prefix.settings.suffix_given = true;
    prefix.said.prefix = "inst/";
    EXPECT_EQ(instrumented_file_name(prefix, "src/a.c"), "src/inst/a.c");
    auto empty_suffix = plain;
    empty_suffix.settings.suffix_given = true;
    EXPECT_EQ(instrumented_file_name(empty_suffix, "a.c"), "a.inst.c");
}

TEST(ModuleName, KeepsTheSeparatorAndDropsTheExtension) {
    EXPECT_EQ(module_name("src/dir/a.c"), "/a");
    EXPECT_EQ(module_name("a.c"), "a");
    EXPECT_EQ(module_name("dir\\b.c"), "\\b");
}

}  // namespace
}  // namespace qor
