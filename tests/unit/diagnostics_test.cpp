#include <gtest/gtest.h>

#include "test_support.hpp"

namespace qor {
namespace {

using test::CapturedDiagnostics;
using test::ExitCalled;

TEST(SplitMessage, PositionAndTextKeepTheLeadingBlank) {
    auto parts = split_message("f.c(12): syntax error");
    EXPECT_EQ(parts.position, "f.c(12)");
    EXPECT_EQ(parts.text, " syntax error");
}

TEST(SplitMessage, DriveLetterStaysInThePosition) {
    auto parts = split_message("C:\\src\\f.c(3): bad: detail");
    EXPECT_EQ(parts.position, "C:\\src\\f.c(3)");
    EXPECT_EQ(parts.text, " bad");
}

TEST(SplitMessage, TextsWithoutTwoPartsStayWhole) {
    EXPECT_FALSE(split_message(" Option -o is allowed only once").two_parts());
    EXPECT_FALSE(split_message("a::b").two_parts());
    EXPECT_FALSE(split_message("trailing:").two_parts());
    EXPECT_TRUE(split_message("::a:b").two_parts());
}

TEST(Diagnostics, PrintsEachKindInItsForm) {
    CapturedDiagnostics d;
    ErrorTally tally(*d);
    d->report(MSG_WARNING, "f.c(1): careful");
    d->report(MSG_WARNING, "plain warning");
    d->report(MSG_ERROR, "f.c(2): wrong");
    d->report(MSG_ERROR, " Option -o is allowed only once");
    d->report(MSG_LEXICAL, "f.c(3): bad char");
    d->report(0, "ignored");
    d->report(5, "ignored too");
    EXPECT_EQ(d.text(),
              "f.c(1): Warning:  careful\n"
              "Warning: plain warning\n"
              "f.c(2): Error:  wrong\n"
              "Error(s):  Option -o is allowed only once\n"
              "f.c(3): Error:  bad char\n");
    EXPECT_EQ(d->warning_count(), 2);
    EXPECT_EQ(d->error_count(), 3);
    EXPECT_EQ(tally.counts().lexical_errors, 1);
    EXPECT_EQ(d->total_lexical_errors(), 1);
}

TEST(ErrorTally, CountsWhileItLivesInEveryEnclosingTally) {
    CapturedDiagnostics d;
    d->report(MSG_ERROR, "before");
    ErrorTally outer(*d);
    {
        ErrorTally inner(*d);
        d->report(MSG_LEXICAL, "f.c(1): bad char");
        d->report(MSG_WARNING, "not an error");
        EXPECT_EQ(inner.counts().errors, 1);
        EXPECT_EQ(inner.counts().lexical_errors, 1);
    }
    d->report(MSG_ERROR, "after the inner one");
    EXPECT_EQ(outer.counts().errors, 2);
    EXPECT_EQ(outer.counts().lexical_errors, 1);
    EXPECT_EQ(d->error_count(), 3);
}

TEST(Diagnostics, SummaryFormsAndStatus) {
    CapturedDiagnostics quiet;
    EXPECT_EQ(quiet->print_error_summary(), 0);
    EXPECT_EQ(quiet.text(), "");

    CapturedDiagnostics mixed;
    mixed->report(MSG_WARNING, "a");
    mixed->report(MSG_WARNING, "b");
    mixed->report(MSG_ERROR, "c");
    std::string before = mixed.text();
    EXPECT_EQ(mixed->print_error_summary(), 1);
    EXPECT_EQ(mixed.text().substr(before.size()), "qor_cc: 2 warning(s), 1 error(s).\n");

    CapturedDiagnostics warned;
    warned->report(MSG_WARNING, "a");
    before = warned.text();
    EXPECT_EQ(warned->print_error_summary(), 0);
    EXPECT_EQ(warned.text().substr(before.size()), "qor_cc: 1 warning(s).\n");
}

TEST(Diagnostics, DisabledWarningsAreCountedButNeverShown) {
    CapturedDiagnostics d;
    d->set_warnings_enabled(false);
    d->report(MSG_WARNING, "hidden");
    EXPECT_EQ(d->warning_count(), 1);
    EXPECT_EQ(d->print_error_summary(), 0);
    EXPECT_EQ(d.text(), "");
}

TEST(Diagnostics, FatalPrintsSummarisesAndExitsWithTwo) {
    CapturedDiagnostics d;
    d->report(MSG_WARNING, "w1");
    d->report(MSG_WARNING, "w2");
    std::string before = d.text();
    try {
        d->report(MSG_FATAL, "Attempt to handle null pointer.");
        FAIL() << "a fatal report must end the run";
    } catch (const ExitCalled& e) {
        EXPECT_EQ(e.status, 2);
    }
    EXPECT_EQ(d.text().substr(before.size()),
              "qor_cc: Error: Attempt to handle null pointer.\n"
              "qor_cc: 2 warning(s), 1 error(s).\n");
}

TEST(Diagnostics, CrashAfterAnErrorIsFatalOtherwiseInternal) {
    CapturedDiagnostics clean;
    try {
        clean->crash();
    } catch (const ExitCalled& e) {
        EXPECT_EQ(e.status, 4);
    }
    EXPECT_EQ(clean.text(), "qor_cc: Internal error : Investigation required.\n Please contact BRISANDOR Support.\n");

    CapturedDiagnostics failed;
    failed->report(MSG_ERROR, "earlier");
    std::string before = failed.text();
    try {
        failed->crash();
    } catch (const ExitCalled& e) {
        EXPECT_EQ(e.status, 2);
    }
    EXPECT_EQ(failed.text().substr(before.size()),
              "qor_cc: Error: cannot recover from earlier errors, goodbye.\nqor_cc: 2 error(s).\n");
}

TEST(Diagnostics, LongTextsAreCut) {
    CapturedDiagnostics d;
    d->report(MSG_WARNING, std::string(3000, 'x'));
    EXPECT_EQ(d.text(), "Warning: " + std::string(1023, 'x') + "\n");
}

}  // namespace
}  // namespace qor
