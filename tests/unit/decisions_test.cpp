#include <gtest/gtest.h>

#include "analysis/decisions.hpp"

namespace qor {
namespace {

using D = DecisionKind;
using Lines = std::vector<std::string>;

TEST(Describe, FormatsEachKindAndRaisesTheCounter) {
    DecisionLog log;
    Descriptions d;
    const D kinds[] = {D::If, D::Else, D::While, D::EndWhile, D::Repeat, D::EndRepeat,
                       D::ForLoop, D::EndForLoop, D::Case, D::ElseCase, D::Begin};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(log.describe(d, kinds[i], "x > 0", 12), i + 1);
    EXPECT_EQ(d.lines, (Lines{"    1 If    12 x > 0", "    2 Else    12 not(x > 0)", "    3 While    12 x > 0",
                              "    4 End-While    12 not(x > 0)", "    5 Repeat    12 x > 0",
                              "    6 End-Repeat    12 not(x > 0)", "    7 For-Loop    12 x > 0",
                              "    8 End-For-Loop    12 not(x > 0)", "    9 Case    12 x > 0",
                              "   10 Else-Case    12 x > 0", "   11 Begin    12"}));
    log.reset_counter();
    EXPECT_EQ(log.counter(), 1);
}

TEST(Describe, WrapsBeforeEveryHundredthCharacter) {
    EXPECT_EQ(wrap_description(std::string(100, 'a')), std::string(100, 'a'));
    EXPECT_EQ(wrap_description(std::string(200, 'a')), std::string(100, 'a') + "\\\n" + std::string(100, 'a'));
    DecisionLog log;
    Descriptions d;
    std::string whole = "    1 If     7 " + std::string(235, 'x');  // 250 characters
    log.describe(d, D::If, std::string(235, 'x'), 7);
    EXPECT_EQ(d.lines[0], whole.substr(0, 100) + "\\\n" + whole.substr(100, 100) + "\\\n" + whole.substr(200));
}

TEST(Describe, PutFillsGapsAppendsAndReplaces) {
    Descriptions d;
    d.put(3, "c");
    d.put(4, "d");
    d.put(1, "a");
    d.put(0, "ignored");
    EXPECT_EQ(d.lines, (Lines{"a", "", "c", "d"}));
    EXPECT_EQ(d.next, 5);
}

class Switches : public ::testing::Test {
protected:
    DecisionLog log;
    Descriptions d;
};

TEST_F(Switches, SharedCasesWithoutDefaultGetImplicitDefaultAtClose) {
    log.switch_open("x");
    EXPECT_EQ(log.switch_case(d, "1", 10), 1);
    EXPECT_EQ(log.switch_case(d, "2", 11), 1);
    EXPECT_EQ(log.switch_flush(d), 1);
    EXPECT_EQ(log.switch_flush(d), 0);  // no label since
    EXPECT_EQ(log.switch_close(d, 20), 2);
    EXPECT_EQ(d.lines, (Lines{"    1 Case    10 x == 1, 2", "    2 Else-Case    20 x ==  default"}));
}

TEST_F(Switches, LaterGroupsStartWithABlankAndDefaultEndsTheElseCase) {
    log.switch_open("k");
    for (const char* label : {"A", "B", "default", "fault", "C"}) {
        if (std::string(label) == "default")
            log.switch_default(d, 7);
        else
            log.switch_case(d, label, 3);
        log.switch_flush(d);
    }
    EXPECT_EQ(log.switch_close(d, 11), 0);
    // " fault" is no part of the word "default": an ordinary case.
    EXPECT_EQ(d.lines, (Lines{"    1 Case     3 k == A", "    2 Case     3 k ==  B", "    3 Else-Case     7 k ==  default",
                              "    4 Case     3 k ==  fault", "    5 Case     3 k ==  C"}));
}

TEST_F(Switches, FirstLabelWithinTheWordDefaultIsAnElseCase) {
    log.switch_open("c");
    log.switch_case(d, "fault", 2);
    log.switch_flush(d);
    EXPECT_EQ(log.switch_close(d, 4), 0);
    EXPECT_EQ(d.lines, (Lines{"    1 Else-Case     2 c == fault"}));
}

TEST_F(Switches, UnwrittenDefaultKeepsItsNumberAtClose) {
    log.switch_open("x");
    log.switch_case(d, "1", 10);
    log.switch_default(d, 11);
    log.describe(d, D::If, "y", 12);
    EXPECT_EQ(log.switch_close(d, 20), 0);
    EXPECT_EQ(log.counter(), 3);
    EXPECT_EQ(d.lines, (Lines{"    1 Else-Case    10 x == 1, default, default", "    2 If    12 y"}));
}

TEST_F(Switches, NoOpenSwitchDoesNothing) {
    EXPECT_EQ(log.switch_case(d, "1", 1), 0);
    EXPECT_EQ(log.switch_default(d, 1), 0);
    EXPECT_EQ(log.switch_flush(d), 0);
    EXPECT_EQ(log.switch_close(d, 1), 0);
    EXPECT_TRUE(d.lines.empty());
    EXPECT_EQ(log.counter(), 1);
}

}  // namespace
}  // namespace qor
