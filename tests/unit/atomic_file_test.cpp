#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <sys/resource.h>

#include "foundation/atomic_file.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

namespace fs = std::filesystem;
using test::ScratchDirectory;
using test::write_file;

std::string content(const std::string& name) {
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> listing() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, TheTargetChangesOnlyAtCommit) {
    ScratchDirectory dir;
    write_file("a.sta", "old\n");
    AtomicFile file("a.sta", MSG_ERROR);
    ASSERT_TRUE(file);
    std::fputs("new\n", file.get());
    EXPECT_EQ(content("a.sta"), "old\n");
    EXPECT_EQ(listing().size(), 2u);  // the target and its temporary
    EXPECT_TRUE(file.commit());
    EXPECT_EQ(content("a.sta"), "new\n");
    EXPECT_EQ(listing(), std::vector<std::string>{"a.sta"});
}

TEST(AtomicFile, AnUncommittedFileLeavesNothing) {
    ScratchDirectory dir;
    write_file("a.sta", "old\n");
    {
        AtomicFile file("a.sta", MSG_ERROR);
        std::fputs("half", file.get());
    }
    {
        AtomicFile file("b.sta", MSG_ERROR);
        std::fputs("half", file.get());
        remove_unfinished_files();  // as a run that ends early does
        EXPECT_EQ(listing(), std::vector<std::string>{"a.sta"});
    }
    EXPECT_EQ(content("a.sta"), "old\n");
    EXPECT_EQ(listing(), std::vector<std::string>{"a.sta"});
}

TEST(AtomicFile, LinksAndPermissionsStay) {
    ScratchDirectory dir;
    fs::create_directory("real");
    write_file("real/a.mtr", "old\n");
    fs::permissions("real/a.mtr", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real/a.mtr", "a.mtr");
    AtomicFile file("a.mtr", MSG_ERROR);
    std::fputs("new\n", file.get());
    EXPECT_TRUE(file.commit());
    EXPECT_TRUE(fs::is_symlink("a.mtr"));
    EXPECT_EQ(content("real/a.mtr"), "new\n");
    EXPECT_EQ(fs::status("real/a.mtr").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicFile, FailuresAreReportedAndKeepTheOldFile) {
    ScratchDirectory dir;
    fs::create_directory("sub");
    int errors = diagnostics().error_count();
    EXPECT_FALSE(AtomicFile("sub", MSG_ERROR));
    EXPECT_FALSE(AtomicFile("missing/a.sta", MSG_ERROR));
    EXPECT_EQ(diagnostics().error_count(), errors + 2);

    // A device is written in place, and its write errors count.
    AtomicFile full("/dev/full", MSG_ERROR);
    std::fputs("text", full.get());
    EXPECT_FALSE(full.commit());
    EXPECT_EQ(diagnostics().error_count(), errors + 3);

    // A file that grows past the size limit fails like a full disk.
    write_file("a.sta", "old\n");
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 16;
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    AtomicFile file("a.sta", MSG_ERROR);
    std::fputs("more than sixteen bytes of text\n", file.get());
    bool committed = file.commit();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(committed);
    EXPECT_EQ(diagnostics().error_count(), errors + 4);
    EXPECT_EQ(content("a.sta"), "old\n");
    EXPECT_EQ(listing(), (std::vector<std::string>{"a.sta", "sub"}));
}

}  // namespace
}  // namespace qor
