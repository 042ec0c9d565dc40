// Unique-cause and masking independence of conditions, on decisions whose
// pairs are worked out by hand.
#include <gtest/gtest.h>

#include "independence.hpp"

namespace qor::report {
namespace {

// a && (b || c): true for 11- and 101, false for 0-- and 100.
const DecisionFunction kAndOr{{"11-", "101"}, {"0--", "100"}};
const std::vector<std::string> kAbc{"a", "b", "c"};

TEST(Independence, MaskingShowsWhatUniqueCauseCannot) {
    // Every vector the decision can give, as a run evaluates them.
    std::vector<Evaluation> all{{"11-", true}, {"101", true}, {"0--", false}, {"100", false}};
    auto result = analyse_independence(kAndOr, all, kAbc);
    ASSERT_EQ(result.size(), 3u);
    // b: the only pair that changes b and the outcome is 11- / 100; c is
    // not evaluated in 11-, so the pair differs in c too: no unique-cause
    // pair. c cannot affect 11- (b already makes b || c true): masked.
    EXPECT_FALSE(result[1].unique_cause.shown);
    EXPECT_EQ(result[1].unique_cause.reason, "11- and 100 also differ in c");
    EXPECT_TRUE(result[1].masking.shown);
    EXPECT_EQ(all[result[1].masking.first].vector, "11-");
    EXPECT_EQ(all[result[1].masking.second].vector, "100");
    // c: 101 / 100 differ in c alone.
    EXPECT_TRUE(result[2].unique_cause.shown);
    EXPECT_TRUE(result[2].masking.shown);
    EXPECT_EQ(all[result[2].unique_cause.first].vector, "101");
    // a: 0-- and 11- differ in b; b is not evaluated in 0--: masked.
    EXPECT_FALSE(result[0].unique_cause.shown);
    EXPECT_TRUE(result[0].masking.shown);
}

TEST(Independence, ConditionsThatChangeTogetherAreNotMasked) {
    // (a && b) || c: true for 101, 0-1, 11-; false for 0-0, 100.
    DecisionFunction function{{"101", "0-1", "11-"}, {"0-0", "100"}};
    // a changes with c in 0-1 / 100: c decides 0-1, and in 100 a true c
    // would give true, so c is masked in neither.
    std::vector<Evaluation> runs{{"0-1", true}, {"100", false}};
    auto result = analyse_independence(function, runs, kAbc);
    EXPECT_FALSE(result[0].masking.shown);
    EXPECT_EQ(result[0].masking.reason, "0-1 and 100 also differ in b, c, not masked in either");
    EXPECT_FALSE(result[0].unique_cause.shown);
    // c is never true with a pair partner of the other outcome.
    EXPECT_EQ(result[1].masking.reason, "never true");
}

TEST(Independence, ReasonsWhenNoPairExists) {
    DecisionFunction and_function{{"11"}, {"10", "0-"}};
    std::vector<std::string> ab{"a", "b"};
    auto none = analyse_independence(and_function, {}, ab);
    EXPECT_EQ(none[0].unique_cause.reason, "the decision was never evaluated");
    auto only_false = analyse_independence(and_function, {{"0-", false}}, ab);
    EXPECT_EQ(only_false[0].masking.reason, "never true");
    EXPECT_EQ(only_false[1].masking.reason, "never evaluated");
    auto same_outcome = analyse_independence(and_function, {{"0-", false}, {"10", false}}, ab);
    EXPECT_EQ(same_outcome[0].masking.reason, "no two evaluations that differ in it have different outcomes");
    // b of a && b: 11 / 10 is a unique-cause pair.
    auto pair = analyse_independence(and_function, {{"11", true}, {"10", false}, {"0-", false}}, ab);
    EXPECT_TRUE(pair[1].unique_cause.shown);
    EXPECT_EQ(pair[1].unique_cause.first, 0);
    EXPECT_EQ(pair[1].unique_cause.second, 1);
    EXPECT_TRUE(pair[0].masking.shown);
    EXPECT_FALSE(pair[0].unique_cause.shown);
    // A vector of the wrong width takes no part.
    auto odd = analyse_independence(and_function, {{"111", true}, {"10", false}}, ab);
    EXPECT_EQ(odd[1].masking.reason, "never true");
}

// A chain of 70 conditions joined by &&: wider than one 64-bit mask.
TEST(Independence, WideDecisions) {
    const size_t width = 70;
    DecisionFunction chain{{std::string(width, '1')}, {}};
    std::vector<Evaluation> all{{std::string(width, '1'), true}};
    std::vector<std::string> names;
    for (size_t k = 0; k < width; ++k) {
        std::string stop = std::string(k, '1') + "0" + std::string(width - k - 1, '-');
        chain.false_vectors.push_back(stop);
        all.push_back({stop, false});
        names.push_back("c" + std::to_string(k));
    }
    auto result = analyse_independence(chain, all, names);
    for (size_t k = 0; k < width; ++k) EXPECT_TRUE(result[k].masking.shown) << k;
    EXPECT_TRUE(result[width - 1].unique_cause.shown);
    EXPECT_FALSE(result[width - 2].unique_cause.shown);
    // Without the vector that stops at condition 66, it is never false.
    all.erase(all.begin() + 67);
    EXPECT_EQ(analyse_independence(chain, all, names)[66].masking.reason, "never false");
}

TEST(Independence, MaskedConditions) {
    // In 11- of a && (b || c), c cannot change the outcome; in 100 it can.
    EXPECT_TRUE(masked(kAndOr, "11-", true, {false, false, true}));
    EXPECT_FALSE(masked(kAndOr, "100", false, {false, false, true}));
    // b and c together in 0--: a false decides.
    EXPECT_TRUE(masked(kAndOr, "0--", false, {false, true, true}));
    EXPECT_TRUE(kAndOr.constant_on("0**", false));
    EXPECT_FALSE(kAndOr.constant_on("1**", true));
}

}  // namespace
}  // namespace qor::report
