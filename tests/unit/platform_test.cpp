#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "platform/files.hpp"
#include "platform/process.hpp"
#include "test_support.hpp"

namespace qor::platform {
namespace {

TEST(Process, ExecutablePathIsAbsoluteAndResolved) {
    std::string path = executable_path();
    EXPECT_EQ(path.front(), '/');
    EXPECT_TRUE(path.ends_with("/unit_tests"));
}

TEST(Process, ArgumentsReachTheChildLiterally) {
    ChildOutput child;
    ASSERT_TRUE(child.start({"printf", "%s|", "a b", "$(x)", "`y`;z", "q\"t"}));
    char buf[128] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, child.stream());
    EXPECT_EQ(std::string(buf, n), "a b|$(x)|`y`;z|q\"t|");
    EXPECT_EQ(child.finish().status, 0);

    ChildOutput missing;
    EXPECT_FALSE(missing.start({"/nonexistent/program"}));
}

TEST(Files, TemporaryFilesAreCreatedUniqueInTmpdir) {
    test::ScratchDirectory dir;
    setenv("TMPDIR", dir.path().c_str(), 1);
    auto a = create_temporary_file("qor");
    auto b = create_temporary_file("qor");
    unsetenv("TMPDIR");
    ASSERT_GE(a.fd, 0);
    ASSERT_GE(b.fd, 0);
    EXPECT_NE(a.path, b.path);
    EXPECT_EQ(std::filesystem::path(a.path).parent_path(), dir.path());
    EXPECT_TRUE(exists(a.path));
    close(a.fd);
    close(b.fd);
}

TEST(Files, SameFileFollowsLinksAndAbsolutePathsAreKept) {
    test::ScratchDirectory dir;
    test::write_file("a.c", "");
    std::filesystem::create_symlink("a.c", "link.c");
    EXPECT_TRUE(same_file("a.c", "./link.c"));
    EXPECT_FALSE(same_file("a.c", "missing.c"));
    EXPECT_EQ(absolute_path("/x/y"), "/x/y");
    EXPECT_EQ(absolute_path("a.c"), (std::filesystem::current_path() / "a.c").string());
    EXPECT_FALSE(is_readable_file("."));
    EXPECT_TRUE(is_readable_file("a.c"));
}

}  // namespace
}  // namespace qor::platform
