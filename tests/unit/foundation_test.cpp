#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/containers.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/line_map.hpp"
#include "foundation/text.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

namespace fs = std::filesystem;
using test::ScratchDirectory;
using test::write_file;

TEST(FormatInt, FitsShortensOrFillsWithAsterisks) {
    EXPECT_EQ(str_format_int(-5, 2), "-5");
    EXPECT_EQ(str_format_int(0, 1), "0");
    EXPECT_EQ(str_format_int(123456, 4), "1e5");
    EXPECT_EQ(str_format_int(-123456, 5), "-1e5");
    EXPECT_EQ(str_format_int(123456, 2), "**");
    EXPECT_EQ(str_format_int(12345, 4), "1e4");
}

TEST(Containers, DicoWalksInSignedByteOrder) {
    Dico<int> d{{"b", 1}, {"ab", 2}, {"a", 3}, {"\xC3\xA9", 4}, {"B", 5}};
    std::vector<std::string> keys;
    for (const auto& [key, value] : d) keys.push_back(key);
    // Bytes from 0x80 up are negative and come first.
    EXPECT_EQ(keys, (std::vector<std::string>{"\xC3\xA9", "B", "a", "ab", "b"}));
}

TEST(Expansion, BothVariableFormsAndUnsetVariables) {
    setenv("QOR_TEST_DIR", "/opt/q", 1);
    unsetenv("QOR_TEST_UNSET");
    EXPECT_EQ(expand_name("$(QOR_TEST_DIR)/x", 0), "/opt/q/x");
    EXPECT_EQ(expand_name("$QOR_TEST_DIR/x", 0), "/opt/q/x");
    EXPECT_EQ(expand_name("a$QOR_TEST_DIR$QOR_TEST_DIR", 0), "a/opt/q/opt/q");
    EXPECT_EQ(expand_name("$QOR_TEST_UNSET", 0), std::nullopt);

    int warnings = diagnostics().warning_count();
    EXPECT_EQ(expand_name("$(QOR_TEST_UNSET)/x", MSG_WARNING), std::nullopt);
    EXPECT_EQ(diagnostics().warning_count(), warnings + 1);
}

TEST(OpenFile, ReportsEmptyNamesDirectoriesAndMissingFiles) {
    ScratchDirectory dir;
    fs::create_directory("sub");
    int errors = diagnostics().error_count();
    EXPECT_FALSE(open_file("", "r", MSG_ERROR));
    EXPECT_FALSE(open_file("sub", "r", MSG_ERROR));
    EXPECT_FALSE(open_file("missing.c", "r", MSG_ERROR));
    EXPECT_EQ(diagnostics().error_count(), errors + 3);
    EXPECT_FALSE(open_file("missing.c", "r", 0));
    EXPECT_EQ(diagnostics().error_count(), errors + 3);
    write_file("x.c", "int x;\n");
    EXPECT_TRUE(open_file("x.c", "r", MSG_ERROR));
    EXPECT_EQ(path_kind("sub"), 1);
    EXPECT_EQ(path_kind("x.c"), 2);
    EXPECT_EQ(path_kind("missing.c"), 0);
}

TEST(ConfigSearch, GoesOnPastMissingCandidatesInOrder) {
    ScratchDirectory dir;
    fs::create_directories("home");
    fs::create_directories("util");
    setenv("HOME", (dir.path() / "home").c_str(), 1);
    setenv("QOR_UTIL", (dir.path() / "util").c_str(), 1);
    setenv("QOR_TEST_MAC", "does/not/exist", 1);

    write_file("util/.m", "");
    auto util = find_config_file(std::nullopt, "QOR_TEST_MAC", ".m", true, true, "$QOR_UTIL");
    EXPECT_EQ(util, (dir.path() / "util/.m").string());

    write_file("home/.m", "");
    EXPECT_EQ(find_config_file(std::nullopt, "QOR_TEST_MAC", ".m", true, true, "$QOR_UTIL"),
              (dir.path() / "home/.m").string());
    EXPECT_EQ(find_config_file(std::nullopt, "QOR_TEST_MAC", ".m", true, false, "$QOR_UTIL"), util);

    write_file(".m", "");
    EXPECT_EQ(find_config_file(std::nullopt, "QOR_TEST_MAC", ".m", true, true, "$QOR_UTIL"), ".m");

    write_file("given", "");
    setenv("QOR_TEST_MAC", "given", 1);
    EXPECT_EQ(find_config_file(std::nullopt, "QOR_TEST_MAC", ".m", true, true, "$QOR_UTIL"), "given");
    EXPECT_EQ(find_config_file(std::string("missing"), "QOR_TEST_MAC", ".m", true, true, "$QOR_UTIL"), "given");
    unsetenv("QOR_TEST_MAC");
    unsetenv("QOR_UTIL");
}

TEST(PreparePath, CreatesMissingDirectoriesAndKeepsExistingFiles) {
    ScratchDirectory dir;
    fs::create_directory("a");
    EXPECT_TRUE(prepare_path("a/b/c/f.txt"));
    EXPECT_TRUE(fs::is_directory("a/b/c"));
    EXPECT_FALSE(fs::exists("a/b/c/f.txt"));

    write_file("a/keep.txt", "content");
    EXPECT_TRUE(prepare_path("a/keep.txt"));
    EXPECT_EQ(fs::file_size("a/keep.txt"), 7u);
    EXPECT_FALSE(prepare_path("a/keep.txt/below"));
}

TEST(LineMap, ReadsWhatItWritesAndPointsAtTheFirstBadLine) {
    LineMap map{"01/02/03-04:05:06", {{"f", 3, {{3, {{1}}}, {5, {{}, {2, 7, 7}}}, {9, {{kExits}}}}}}};
    std::string text = line_map_text(map);
    EXPECT_EQ(text, "qor-lines 1\nD 01/02/03-04:05:06\nF 3 f\n3 1\n5 0 2+7+7\n9 x\n");
    LineMapResult read = parse_line_map(text);
    ASSERT_TRUE(read.map);
    EXPECT_EQ(line_map_text(*read.map), text);
    EXPECT_EQ(read.map->functions[0].lines[1].sums[1], (CountSum{2, 7, 7}));

    EXPECT_EQ(parse_line_map("").error_line, 1);
    EXPECT_EQ(parse_line_map("qor-lines 2\n").error_line, 1);
    EXPECT_EQ(parse_line_map("qor-lines 1\nD d\n3 1\n").error_line, 3);  // a line before any function
    for (const char* bad : {"3 1+\n", "3 0+1\n", "3 y\n", "3\n", "-3 1\n", "3 1+-2\n"})
        EXPECT_EQ(parse_line_map(std::string("qor-lines 1\nF 2 f\n") + bad).error_line, 3) << bad;
    EXPECT_EQ(parse_line_map("qor-lines 1\nF 2\n").error_line, 2);

    EXPECT_EQ(line_map_name("out/a.sta"), "out/a.lines");
    EXPECT_EQ(line_map_name("b.arc"), "b.arc.lines");
}

}  // namespace
}  // namespace qor
