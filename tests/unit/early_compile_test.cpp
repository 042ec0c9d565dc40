// The compile step started with the analysis: when it may start, and what
// finishing or abandoning it leaves.
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver/early_compile.hpp"
#include "driver/orchestration.hpp"
#include "driver/run.hpp"
#include "foundation/file_lookup.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using test::ScratchDirectory;
using test::write_file;

// A compiler that says what it compiles and writes "object" to its -o file
// (unless told to keep it).
constexpr const char* kCompiler =
    "out=; while [ $# -gt 0 ]; do [ \"$1\" = -o ] && out=$2; shift; done\n"
    "echo compiled\n"
    "[ -n \"$KEEP\" ] || echo object >\"$out\"\n";

class EarlyCompileTest : public ::testing::Test {
protected:
    // It waits after earlier errors: the test starts from none.
    EarlyCompileTest() : earlier_(diagnostics()) {
        diagnostics() = Diagnostics();
        write_file("cc.sh", kCompiler);
        line_.said.compiler_command = "sh cc.sh";
        line_.said.source_files = {"a.c"};
        line_.said.compiler_options = {"-c", "-o", "a.o"};
    }

    ~EarlyCompileTest() override { diagnostics() = earlier_; }

    bool starts() {
        EarlyCompile::start(run_);
        bool started = line_.early_compile != nullptr;
        line_.early_compile.reset();
        return started;
    }

    Diagnostics earlier_;
    ScratchDirectory scratch_;
    qor::Run run_{RunSettings()};
    CommandLineBuild line_{run_};
};

TEST_F(EarlyCompileTest, WaitsForItsTurnWhenTheAnalysisChangesTheCommand) {
    EXPECT_TRUE(starts());
    auto expect_waits = [&](const char* why, auto change) {
        CommandLineOptions kept = line_.said;
        change();
        EXPECT_FALSE(starts()) << why;
        line_.said = kept;
        run_.settings.pch_use.reset();
    };
    expect_waits("dynamic mode", [&] { line_.said.dynamic_mode = true; });
    expect_waits("-noupdate", [&] { line_.said.no_update = true; });
    expect_waits("no compiler", [&] { line_.said.compiler_command.reset(); });
    expect_waits("the compiler's own product", [&] { line_.said.compiler_product = true; });
    expect_waits("a precompiled header", [&] { run_.settings.pch_use = "h.h"; });
    expect_waits("nothing to analyse", [&] { line_.said.source_files.clear(); });
    expect_waits("no output name", [&] { line_.said.compiler_options = {"-c"}; });
    expect_waits("an output that is no regular file", [&] { line_.said.compiler_options = {"-o", "/dev/null"}; });
}

TEST_F(EarlyCompileTest, FinishGivesOutTheHeldOutput) {
    EarlyCompile::start(run_);
    ASSERT_TRUE(line_.early_compile);
    EXPECT_TRUE(line_.early_compile->runs(compile_command(line_.options, false)));
    EXPECT_FALSE(line_.early_compile->runs({"sh", "cc.sh", "a.c"}));
    testing::internal::CaptureStdout();
    platform::ChildStatus status = line_.early_compile->finish();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "compiled\n");
    EXPECT_TRUE(status.started);
    EXPECT_EQ(status.status, 0);
    line_.early_compile.reset();
    EXPECT_TRUE(is_readable("a.o"));
}

TEST_F(EarlyCompileTest, AbandonedItRemovesOnlyTheOutputItMade) {
    testing::internal::CaptureStdout();
    EarlyCompile::start(run_);
    ASSERT_TRUE(line_.early_compile);
    line_.early_compile.reset();
    EXPECT_FALSE(is_readable("a.o"));

    // An object it left alone is the previous build's, and stays.
    write_file("a.o", "old");
    setenv("KEEP", "1", 1);
    EarlyCompile::start(run_);
    line_.early_compile.reset();
    unsetenv("KEEP");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(is_readable("a.o"));
}

}  // namespace
}  // namespace qor
