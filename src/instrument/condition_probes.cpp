// Condition coverage in the grammar events: the logical operators of each
// expression, and the rewrite of every decision that holds one.
#include "foundation/diagnostics.hpp"
#include "instrument/probing_events.hpp"

namespace qor {

namespace {

// Beyond this many vectors, or vector values (one per condition of each
// vector), a decision is left without condition coverage: the number of
// vectors doubles with every (a || b) group joined by &&, and a chain of n
// conditions joined by && has n + 1 vectors of n values.
constexpr size_t kMaxVectors = 4096;
constexpr size_t kMaxVectorValues = 262144;
constexpr size_t kMaxConditions = 511;  // 512 conditions have 513 vectors at least

}  // namespace

int ProbingEvents::logical_operator(Conditional kind, const SemanticValue& left, const SemanticValue& op,
                                    const SemanticValue& right) {
    if (!conditions_active()) return 0;
    TokenId end = consumed();
    return logical_.make(kind == Conditional::And ? ConditionNode::Kind::And : ConditionNode::Kind::Or, logical_.operand(left.condition, {left.token, op.token - 1}),
                         logical_.operand(right.condition, {right.token, end}), {left.token, end}, left.line);
}

// The other unary operators fold their operand into a condition.
int ProbingEvents::logical_not(const SemanticValue& op, const SemanticValue& operand) {
    if (!conditions_active() || !op.text || *op.text != "!") return 0;
    TokenId end = consumed();
    return logical_.make(ConditionNode::Kind::Not, logical_.operand(operand.condition, {operand.token, end}), {},
                         {op.token, end}, op.line);
}

int ProbingEvents::parenthesized(const SemanticValue& open, const SemanticValue& inner) {
    if (!conditions_active()) return 0;
    TokenId close = consumed();
    return logical_.parenthesize(inner.condition, {inner.token, close - 1}, {open.token, close});
}

void ProbingEvents::unevaluated(const SemanticValue& keyword) {
    if (conditions_active()) logical_.set_aside({keyword.token, consumed()});
}

// A decision is the expression from its first token up to `terminator`
// (excluded). It is rewritten only when it holds a logical operator that
// no decision has taken: an operator elsewhere (in a declaration's
// initializer, say) leaves it alone. One with a branch of its own is
// tested for its truth; one without (an expression statement, a returned
// value, a switch, a filter, the first and last clauses of a for) is used
// for its value, so it is rewritten only where it is a logical operator,
// whose value is the 0 or 1 the rewrite yields too. Inside one that is
// not, each outermost logical operator is a decision of its own.
void ProbingEvents::condition_decision(const SemanticValue& expression, TokenId terminator, int line, int branch) {
    if (!conditions_active() || expression.token == 0 || terminator <= expression.token) return;
    TokenRange range{expression.token, terminator - 1};
    std::vector<LogicalOperand> inner = logical_.outermost_within(range);
    if (inner.empty()) return;
    LogicalOperand root = logical_.operand(expression.condition, range);
    if (root.node != 0 || branch != 0) {
        rewrite_decision(root, line, branch);
        return;
    }
    for (const LogicalOperand& operand : inner) rewrite_decision(operand, logical_.node(operand.node).line, 0);
}

void ProbingEvents::rewrite_decision(const LogicalOperand& root, int line, int branch) {
    std::vector<TokenRange> conditions;
    ConditionTree tree;
    // More conditions than that make more vector values than the limit
    // (there are n + 1 vectors at least), and the tree is not built: a
    // long chain of && would be as deep as it is long.
    if (logical_.condition_count(root, kMaxConditions) <= kMaxConditions) tree = condition_tree(root, conditions);
    size_t vectors = tree ? vector_count(*tree, kMaxVectors) : 0;
    if (!tree || vectors > kMaxVectors || vectors * conditions.size() > kMaxVectorValues) {
        report_at(MSG_WARNING, lexer_->current_file(), line,
                  "decision too complex for condition coverage, too many conditions or condition vectors");
        return;
    }
    // An operator keeps the parentheses around it: they stay in the text.
    TokenRange replaced = root.node ? logical_.node(root.node).core : root.range;
    // A constant (while (!0), do ... while (1 == 0)) stays one for the
    // compiler, whose flow analysis depends on it.
    if (emitter_.constant_text(replaced) || emitter_.rewrite_decision(*tree, conditions, replaced, line, branch)) {
        // The operators inside its conditions went with their text.
        logical_.consume(root.node);
        logical_.set_aside(replaced);
    }
}

// The decision's tree with its conditions as written; their token ranges,
// in order, go to `conditions`.
ConditionTree ProbingEvents::condition_tree(const LogicalOperand& operand, std::vector<TokenRange>& conditions) const {
    if (operand.node == 0) {
        conditions.push_back(operand.range);
        return make_leaf(measure_.token_log().text(operand.range.first, operand.range.last));
    }
    const LogicalNode& node = logical_.node(operand.node);
    ConditionTree left = condition_tree(node.left, conditions);
    switch (node.kind) {
    case ConditionNode::Kind::Not: return make_not(std::move(left));
    case ConditionNode::Kind::And: return make_and(std::move(left), condition_tree(node.right, conditions));
    default: return make_or(std::move(left), condition_tree(node.right, conditions));
    }
}

}  // namespace qor
