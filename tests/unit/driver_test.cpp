#include <gtest/gtest.h>
#include <tcl.h>

#include "foundation/dialect.hpp"
#include "driver/orchestration.hpp"
#include "driver/run_sequence.hpp"
#include "foundation/diagnostics.hpp"
#include "scripting/dependency_record.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using Words = std::vector<std::string>;

TEST(Dialect, NamesCodesAndSwitches) {
    DialectState d;
    select_dialect(d, "msc1100");
    EXPECT_EQ(d.keywords, KeywordTable::MSC);
    EXPECT_TRUE(d.dos_paths);
    EXPECT_TRUE(d.accepts_at_response_files());
    EXPECT_FALSE(d.accepts_plus_response_files());

    select_dialect(d, "Gnu_Rhel_4");
    EXPECT_EQ(d.name, "gnu_rhel_4");
    EXPECT_EQ(d.file_stem(), "GNU_RHEL_4");
    EXPECT_TRUE(d.gnu_extensions && d.accepts_plus_response_files());
    // A later selection never turns a switch off.
    select_dialect(d, "KR78");
    EXPECT_EQ(d.keywords, KeywordTable::KR78);
    EXPECT_TRUE(d.ansi_preprocessing && d.gnu_extensions && d.dos_paths);
}

TEST(Dialect, UnknownNamesWarnAndSelectAnsi) {
    DialectState d;
    int warnings = diagnostics().warning_count();
    select_dialect(d, "turbo");
    EXPECT_EQ(diagnostics().warning_count(), warnings + 1);
    EXPECT_EQ(d.name, "ansi");
    EXPECT_EQ(d.file_stem(), "ANSI");
    EXPECT_TRUE(d.dollar_in_identifiers);
}

TEST(ListLine, QuotesGroupWordsAndAreRemoved) {
    EXPECT_EQ(split_list_line("gcc -c \"my file.c\" -DMSG=\"hello world\"\n"),
              (Words{"gcc", "-c", "my file.c", "-DMSG=hello world"}));
    // The closing quote ends the word; a plain word starts after its quote.
    EXPECT_EQ(split_list_line("a\"b c\"dropped next"), (Words{"b c", "next"}));
    EXPECT_EQ(split_list_line("\"open to the end\n"), (Words{"open to the end"}));
}

TEST(CommandWords, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(split_command_words("  ccache\tgcc  -m32 "), (Words{"ccache", "gcc", "-m32"}));
    EXPECT_EQ(split_command_words("\"/opt/my cc/bin/gcc\" -DX=\"a b\"c"), (Words{"/opt/my cc/bin/gcc", "-DX=a bc"}));
    // Quotes alone make a word, an empty one; an open quote runs to the end.
    EXPECT_EQ(split_command_words("cc \"\" x"), (Words{"cc", "", "x"}));
    EXPECT_EQ(split_command_words("cc \"a  b"), (Words{"cc", "a  b"}));
    EXPECT_EQ(split_command_words(" \t "), Words{});
}

TEST(RelativeDirectory, ClimbsThenDescends) {
    EXPECT_EQ(relative_directory("/a/b/inst/x.c", "/a/b/pch/h.h"), "../pch/");
    EXPECT_EQ(relative_directory("/a/x.c", "/a/h.h"), "");
    EXPECT_EQ(relative_directory("/a/" + std::string(300, 'd') + "/x.c", "/a/h.h"), "");
}

TEST(DependencyRecord, EveryNameReadsBackExactlyInTcl) {
    const Words awkward{"/bin/qor_cc", "-DX={", "a}b", "c\\", "d e$f[g]\"h;", "tab\there", "new\nline", "{}"};
    DependencyRecord r;
    r.set_command_line(awkward);
    r.set_main_input("x{.c");
    Tcl_Interp* interp = Tcl_CreateInterp();
    ASSERT_EQ(Tcl_EvalEx(interp,
                         "namespace eval incr {}\n"
                         "proc incr::DepCommandLine args { set ::words $args }\n"
                         "proc incr::DepMainInput name { set ::main $name }",
                         -1, 0),
              TCL_OK);
    ASSERT_EQ(Tcl_EvalEx(interp, r.text().c_str(), -1, 0), TCL_OK) << Tcl_GetStringResult(interp);
    int count = 0;
    Tcl_Obj** items = nullptr;
    Tcl_ListObjGetElements(interp, Tcl_GetVar2Ex(interp, "words", nullptr, 0), &count, &items);
    Words read_back;
    for (int i = 0; i < count; ++i) read_back.push_back(Tcl_GetString(items[i]));
    EXPECT_EQ(read_back, awkward);
    EXPECT_STREQ(Tcl_GetVar(interp, "main", 0), "x{.c");
    Tcl_DeleteInterp(interp);
}

}  // namespace
}  // namespace qor
