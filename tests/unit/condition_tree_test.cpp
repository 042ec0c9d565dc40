// Condition trees of decisions: their texts, the numbering of conditions
// and the outcome vectors with their list orders.
#include <gtest/gtest.h>

#include "instrument/condition_tree.hpp"
#include "instrument/mcdc_record.hpp"

namespace qor {
namespace {

std::string vectors_of(ConditionTree tree) {
    int conditions = number_conditions(*tree);
    return decision_vectors_text(vector_sets(*tree, conditions));
}

TEST(ConditionTree, SingleOperators) {
    EXPECT_EQ(vectors_of(make_and(make_leaf("a"), make_leaf("b"))), "1:11:2:10:0-");
    EXPECT_EQ(vectors_of(make_or(make_leaf("a"), make_leaf("b"))), "2:01:1-:1:00");
    EXPECT_EQ(vectors_of(make_not(make_leaf("a"))), "1:0:1:1");
    EXPECT_EQ(vectors_of(make_leaf("x > 0")), "1:1:1:0");
}

// Worked out by hand from the set rules, orders included.
TEST(ConditionTree, DeeperTrees) {
    // (a && b) || c: a && b gives true [11-], false [10-, 0--];
    // true = join([11-], cross([10-, 0--], [--1]) = [0-1, 101]) = [101, 0-1, 11-],
    // false = cross([10-, 0--], [--0]) = [0-0, 100].
    EXPECT_EQ(vectors_of(make_or(make_and(make_leaf("a"), make_leaf("b")), make_leaf("c"))),
              "3:101:0-1:11-:2:0-0:100");
    // a && (b || c): b || c gives true [-01, -1-], false [-00];
    // true = cross([1--], [-01, -1-]) = [11-, 101],
    // false = join([0--], cross([1--], [-00]) = [100]) = [100, 0--].
    EXPECT_EQ(vectors_of(make_and(make_leaf("a"), make_or(make_leaf("b"), make_leaf("c")))),
              "2:11-:101:2:100:0--");
    // a && !b: the not swaps b's sets.
    EXPECT_EQ(vectors_of(make_and(make_leaf("a"), make_not(make_leaf("b")))), "1:10:2:11:0-");
}

TEST(ConditionTree, TextsAndNumbering) {
    ConditionTree tree = make_and(make_leaf("a"), make_not(make_or(make_leaf("f(x)"), make_leaf("b[1]"))));
    EXPECT_EQ(tree_text(*tree), "(a &&  !(f(x) || b[1]))");
    EXPECT_EQ(number_conditions(*tree), 3);
    EXPECT_EQ(tree->right->left->right->index, 2);
    EXPECT_EQ(condition_texts(*tree), (std::vector<std::string>{"a", "f(x)", "b[1]"}));
}

TEST(McdcRecord, PlainBracketedAndEscaped) {
    ConditionTree both = make_and(make_leaf("a"), make_leaf("s == \"x:y\\\""));
    EXPECT_EQ(mcdc_record({2, 1, 7, 3}, *both, vector_sets(*both, number_conditions(*both)), true),
              "\n{1, 2, \"1:7:3:2:a:s == \\\"x\\\\:y\\\\\\\":1:11:2:10:0-:"
              "(a && s == \\\"x\\\\:y\\\\\\\")\"}");
    ConditionTree negated = make_not(make_leaf("a"));
    EXPECT_EQ(mcdc_record({2, 2, 9, 5}, *negated, vector_sets(*negated, number_conditions(*negated)), false), ",\n{1, 2, \"2:9:5:1:a:1:0:1:1:( !a)\"}");
}

// The described rewrite of a && !b, and counts that stop at the limit
// instead of multiplying out.
TEST(ConditionTree, InstrumentedTextAndVectorCount) {
    ConditionTree tree = make_and(make_leaf("a"), make_not(make_leaf("b")));
    number_conditions(*tree);
    EXPECT_EQ(instrumented_text(*tree, {"a", "(QVX_CALL(f,1,1,0,1),g ( b ) )"}, 3),
              " (QVX_EVAL_0(3, 0, a) &&  ! QVX_EVAL_0(3, 1, (QVX_CALL(f,1,1,0,1),g ( b ) )))");
    EXPECT_EQ(vector_count(*tree, 100), 3u);
    // (a || b) && (c || d) && ... over 40 pairs: 2^40 true vectors.
    ConditionTree wide = make_or(make_leaf("a"), make_leaf("b"));
    for (int i = 1; i < 40; ++i) wide = make_and(std::move(wide), make_or(make_leaf("c"), make_leaf("d")));
    EXPECT_EQ(vector_count(*wide, 4096), 4097u);
}

}  // namespace
}  // namespace qor
