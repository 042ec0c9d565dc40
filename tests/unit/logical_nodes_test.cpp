// The logical operators of an expression found again from token ranges:
// an operand is an operator node only while it spans exactly the
// expression it was built for.
#include <gtest/gtest.h>

#include "analysis/token_log.hpp"
#include "instrument/logical_nodes.hpp"

namespace qor {
namespace {

using Kind = ConditionNode::Kind;

// Tokens 1..: ( a && b ) + c, as the grammar reduces them.
TEST(LogicalNodes, ParenthesesKeepTheNodeAndOperatorsFold) {
    LogicalNodes nodes;
    int both = nodes.make(Kind::And, {0, {2, 2}}, {0, {4, 4}}, {2, 4}, 1);
    EXPECT_EQ(nodes.parenthesize(both, {2, 4}, {1, 5}), both);
    EXPECT_EQ(nodes.operand(both, {1, 5}).node, both);
    EXPECT_EQ(nodes.node(both).core, (TokenRange{2, 4}));
    // "+ c" copied the handle of its first operand: folded into a condition.
    LogicalOperand sum = nodes.operand(both, {1, 7});
    EXPECT_EQ(sum.node, 0);
    EXPECT_EQ(nodes.outermost_within({1, 7}).size(), 1u);
    // A stale handle does not spread through a later parenthesis.
    EXPECT_EQ(nodes.parenthesize(both, {1, 7}, {0, 8}), 0);
}

// f(a && b) + g(!c || d): two outermost operators, in source order; a
// rewritten one is no operand any more.
TEST(LogicalNodes, OutermostOperatorsAndConsumedNodes) {
    LogicalNodes nodes;
    int left = nodes.make(Kind::And, {0, {3, 3}}, {0, {5, 5}}, {3, 5}, 1);
    int negated = nodes.make(Kind::Not, {0, {11, 11}}, {}, {10, 11}, 1);
    int right = nodes.make(Kind::Or, {negated, {10, 11}}, {0, {13, 13}}, {10, 13}, 1);
    std::vector<LogicalOperand> found = nodes.outermost_within({1, 14});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].node, left);
    EXPECT_EQ(found[1].node, right);
    EXPECT_EQ(nodes.consume(right), 2);
    EXPECT_EQ(nodes.consume(right), 0);
    EXPECT_EQ(nodes.operand(right, {10, 13}).node, 0);
    EXPECT_EQ(nodes.outermost_within({1, 14}).size(), 1u);
    // sizeof (a && b) over tokens 1 to 5: nothing there is rewritten.
    nodes.set_aside({1, 6});
    EXPECT_TRUE(nodes.outermost_within({1, 14}).empty());
}

// !a || (b && c), and a chain of && as long as a generated file may hold:
// the count stops past its limit, without recursion.
TEST(LogicalNodes, ConditionCountOfADecision) {
    LogicalNodes nodes;
    int negated = nodes.make(Kind::Not, {0, {2, 2}}, {}, {1, 2}, 1);
    int both = nodes.make(Kind::And, {0, {5, 5}}, {0, {7, 7}}, {5, 7}, 1);
    int either = nodes.make(Kind::Or, {negated, {1, 2}}, {both, {4, 8}}, {1, 8}, 1);
    EXPECT_EQ(nodes.condition_count({either, {1, 8}}, 100), 3u);
    EXPECT_EQ(nodes.condition_count({0, {1, 1}}, 100), 1u);

    LogicalNodes chain;
    LogicalOperand left{0, {1, 1}};
    for (TokenId token = 3; token < 600000; token += 2)
        left = {chain.make(Kind::And, left, {0, {token, token}}, {1, token}, 1), {1, token}};
    EXPECT_EQ(chain.condition_count(left, 4096), 4097u);
}

// Conditions as written: a macro use stands for its expansion's first
// token; the expansion's other tokens show as compiled.
TEST(TokenLog, WrittenTextsOfTokenRanges) {
    TokenLog log;
    log.mark(7, log.size(), "x");
    log.add("x");
    log.mark(8, log.size(), "&&");
    log.add("&&");
    log.add("BOTH(a, b)");  // the macro use, before its first token
    log.mark(9, log.size() - 1, "a");
    log.mark(10, log.size(), "&&");
    log.mark(11, log.size(), "b");
    log.mark(12, log.size(), ")");
    log.add(")");
    EXPECT_EQ(log.text(7, 7), "x");
    EXPECT_EQ(log.text(9, 9), "BOTH(a, b)");
    EXPECT_EQ(log.text(11, 11), "b");
    EXPECT_EQ(log.text(7, 11), "x&&BOTH(a, b)");
}

}  // namespace
}  // namespace qor
