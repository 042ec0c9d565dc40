// Unique-cause and masking independence of conditions, on decisions whose
// pairs are worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "independence.hpp"

namespace qor::report {
namespace {

// a && (b || c): true for 11- and 101, false for 0-- and 100.
const DecisionFunction kAndOr{{"11-", "101"}, {"0--", "100"}};
const std::vector<std::string> kAbc{"a", "b", "c"};

// The vector that short-circuiting leaves unevaluated never stands in the
// way: the first operand of && and || is shown as the second is.
TEST(Independence, ConditionsNotEvaluatedDoNotCount) {
    std::vector<Evaluation> all{{"11-", true}, {"101", true}, {"0--", false}, {"100", false}};
    auto result = analyse_independence(kAndOr, all, kAbc);
    ASSERT_EQ(result.size(), 3u);
    const std::tuple<const char*, const char*, const char*> shown_by[] = {
        {"a", "11-", "0--"}, {"b", "11-", "100"}, {"c", "101", "100"}};
    for (const auto& [name, first, second] : shown_by) {
        size_t k = static_cast<size_t>(name[0] - 'a');
        EXPECT_TRUE(result[k].unique_cause.shown) << name;
        EXPECT_TRUE(result[k].masking.shown) << name;
        EXPECT_EQ(all[result[k].unique_cause.first].vector, first) << name;
        EXPECT_EQ(all[result[k].unique_cause.second].vector, second) << name;
    }

    // (a || b) && c: 00- and 1-1 differ in a alone once b and c, each
    // skipped by one of them, are set aside.
    DecisionFunction or_and{{"1-1", "011"}, {"1-0", "010", "00-"}};
    auto two = analyse_independence(or_and, {{"00-", false}, {"1-1", true}}, kAbc);
    EXPECT_TRUE(two[0].unique_cause.shown);
    EXPECT_EQ(two[1].unique_cause.reason, "never true");
}

// (a && b) || (c && d) || e evaluated seven ways: every condition has a
// unique-cause pair, the pairs that an independent tool reports for the
// same vectors.
TEST(Independence, SevenVectorsShowAllFive) {
    DecisionFunction function{{"0-0-1", "0-101", "0-11-", "100-1", "10101", "1011-", "11---"},
                              {"0-0-0", "0-100", "100-0", "10100"}};
    std::vector<Evaluation> runs{{"0-0-0", false}, {"0-100", false}, {"100-0", false}, {"0-0-1", true},
                                 {"0-11-", true},  {"1011-", true},  {"11---", true}};
    auto result = analyse_independence(function, runs, {"a", "b", "c", "d", "e"});
    const std::pair<int, int> pairs[] = {{0, 6}, {2, 6}, {0, 4}, {1, 4}, {0, 3}};
    for (size_t k = 0; k < 5; ++k) {
        EXPECT_TRUE(result[k].unique_cause.shown) << k;
        EXPECT_TRUE(result[k].masking.shown) << k;
        EXPECT_EQ(std::pair(result[k].unique_cause.first, result[k].unique_cause.second), pairs[k]) << k;
    }
}

TEST(Independence, ConditionsThatChangeTogetherAreNotMasked) {
    // (a && b) || c: true for 101, 0-1, 11-; false for 0-0, 100.
    DecisionFunction function{{"101", "0-1", "11-"}, {"0-0", "100"}};
    // a changes with c in 0-1 / 100: c decides 0-1, and in 100 a true c
    // would give true, so c is masked in neither.
    std::vector<Evaluation> runs{{"0-1", true}, {"100", false}};
    auto result = analyse_independence(function, runs, kAbc);
    EXPECT_FALSE(result[0].masking.shown);
    EXPECT_EQ(result[0].masking.reason, "0-1 and 100 also differ in c, not masked in either");
    EXPECT_FALSE(result[0].unique_cause.shown);
    EXPECT_EQ(result[0].unique_cause.reason, "0-1 and 100 also differ in c");
    // c is never true with a pair partner of the other outcome.
    EXPECT_EQ(result[1].masking.reason, "never true");
}

// Each condition that differs may be masked in either evaluation of the
// pair. In (a || b) && ((c && d) || e), 010-0 and 1-101 differ in e and in
// a and c: a is masked in 010-0 (b is true), c in 1-101 (d is false).
TEST(Independence, EachDifferenceMaskedInEitherEvaluation) {
    DecisionFunction function{{"010-1", "01101", "0111-", "1-0-1", "1-101", "1-11-"},
                              {"00---", "010-0", "01100", "1-0-0", "1-100"}};
    std::vector<Evaluation> runs{{"010-0", false}, {"1-101", true}};
    auto result = analyse_independence(function, runs, {"a", "b", "c", "d", "e"});
    EXPECT_TRUE(result[4].masking.shown);
    EXPECT_EQ(result[4].unique_cause.reason, "010-0 and 1-101 also differ in a, c");
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
    EXPECT_TRUE(pair[0].unique_cause.shown);
    // A vector of the wrong width takes no part.
    auto odd = analyse_independence(and_function, {{"111", true}, {"10", false}}, ab);
    EXPECT_EQ(odd[1].masking.reason, "never true");
}

// A chain of 70 conditions joined by &&, each shown by the all-true
// evaluation and the one that stops at it.
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
    for (size_t k = 0; k < width; ++k) EXPECT_TRUE(result[k].unique_cause.shown && result[k].masking.shown) << k;
    // Without the vector that stops at condition 66, it is never false.
    all.erase(all.begin() + 67);
    EXPECT_EQ(analyse_independence(chain, all, names)[66].masking.reason, "never false");
}

// Random decisions of up to six conditions and random sets of their
// evaluations: the search agrees with the definitions applied pair by pair,
// masking through masked(), and unique-cause implies masking.
class RandomDecision {
public:
    explicit RandomDecision(std::mt19937& random) : random_(random), width_(1 + random() % 6) {
        root_ = build(0, width_);
        for (unsigned bits = 0; bits < (1u << width_); ++bits) {
            std::string vector(width_, '-');
            bool outcome = evaluate(root_, bits, vector);
            auto& side = outcome ? function.true_vectors : function.false_vectors;
            if (std::find(side.begin(), side.end(), vector) == side.end()) side.push_back(vector);
        }
    }

    DecisionFunction function;
    size_t width() const { return width_; }

private:
    // Leaves first..last-1 under one operator tree: a leaf is its position.
    int build(size_t first, size_t last) {
        if (last - first == 1) return static_cast<int>(first);
        size_t split = first + 1 + random_() % (last - first - 1);
        nodes_.push_back({random_() % 2 == 0, build(first, split), build(split, last)});
        return -static_cast<int>(nodes_.size());
    }
    bool evaluate(int node, unsigned bits, std::string& vector) const {
        if (node >= 0) {
            bool value = (bits >> node) & 1u;
            vector[static_cast<size_t>(node)] = value ? '1' : '0';
            return value;
        }
        const Node& n = nodes_[static_cast<size_t>(-node - 1)];
        bool left = evaluate(n.left, bits, vector);
        if (left != n.is_and) return left;  // short-circuit
        return evaluate(n.right, bits, vector);
    }

    struct Node {
        bool is_and;
        int left, right;
    };
    std::mt19937& random_;
    size_t width_;
    std::vector<Node> nodes_;
    int root_ = 0;
};

TEST(Independence, AgreesWithTheDefinitionsOnRandomDecisions) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        RandomDecision decision(random);
        std::vector<Evaluation> runs;
        for (const auto& [vectors, outcome] : {std::pair{&decision.function.true_vectors, true},
                                               std::pair{&decision.function.false_vectors, false}})
            for (const std::string& vector : *vectors)
                if (random() % 2) runs.push_back({vector, outcome});
        std::vector<std::string> names(decision.width(), "x");
        auto result = analyse_independence(decision.function, runs, names);
        for (size_t c = 0; c < decision.width(); ++c) {
            bool unique = false, masking = false;
            for (const Evaluation& u : runs)
                for (const Evaluation& v : runs) {
                    bool pair = !u.outcome && v.outcome && u.vector[c] != '-' && v.vector[c] != '-' &&
                                u.vector[c] != v.vector[c];
                    if (!pair) continue;
                    bool u_ok = true, m_ok = true;
                    for (size_t k = 0; k < decision.width(); ++k) {
                        if (k == c || u.vector[k] == v.vector[k]) continue;
                        u_ok &= u.vector[k] == '-' || v.vector[k] == '-';
                        m_ok &= masked(decision.function, u.vector, u.outcome, k) ||
                                masked(decision.function, v.vector, v.outcome, k);
                    }
                    unique |= u_ok;
                    masking |= m_ok;
                }
            EXPECT_EQ(result[c].unique_cause.shown, unique) << round << " " << c;
            EXPECT_EQ(result[c].masking.shown, masking) << round << " " << c;
            EXPECT_TRUE(!unique || masking);
        }
    }
}

TEST(Independence, MaskedConditions) {
    // In 11- of a && (b || c), c cannot change the outcome; in 100 it can.
    EXPECT_TRUE(masked(kAndOr, "11-", true, 2));
    EXPECT_FALSE(masked(kAndOr, "100", false, 2));
    // a false decides 0--; b is masked there, a is not.
    EXPECT_TRUE(masked(kAndOr, "0--", false, 1));
    EXPECT_FALSE(masked(kAndOr, "0--", false, 0));
    EXPECT_TRUE(kAndOr.constant_on("0**", false));
    EXPECT_FALSE(kAndOr.constant_on("1**", true));
}

}  // namespace
}  // namespace qor::report
