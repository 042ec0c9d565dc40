// The &&, || and ! operators of the function being instrumented, each
// with the tokens it spans. Everything else an expression holds is a
// condition: a range of tokens with no operator of its own. So a
// decision's conditions are found without building texts while the
// expression is parsed; their texts are read when the decision is
// rewritten.
#pragma once

#include <vector>

#include "instrument/condition_tree.hpp"
#include "frontend/token_id.hpp"

namespace qor {

// An operand of a logical operator: an operator node, or (node 0) a
// condition.
struct LogicalOperand {
    int node = 0;
    TokenRange range;
};

struct LogicalNode {
    ConditionNode::Kind kind = ConditionNode::Kind::And;
    LogicalOperand left;   // not: the operand
    LogicalOperand right;
    TokenRange core;       // the operator's expression
    TokenRange range;      // with the parentheses that enclose it
    int line = 0;
    bool consumed = false;  // rewritten as (part of) a decision
};

class LogicalNodes {
public:
    // A new node over `range`; returns its handle (from 1).
    int make(ConditionNode::Kind kind, LogicalOperand left, LogicalOperand right, TokenRange range, int line);
    // The expression with handle `handle` ended at `inner` and is now
    // enclosed in parentheses up to `outer`: its node, if it has one, spans
    // them. Returns the handle that the parenthesized expression keeps.
    int parenthesize(int handle, TokenRange inner, TokenRange outer);
    // What the expression `range` is to an enclosing operator: the node of
    // `handle` when that node spans exactly this expression, else a
    // condition (the handle then belongs to an operand that was folded
    // into something larger).
    LogicalOperand operand(int handle, TokenRange range) const;
    // The outermost operator nodes inside `range` that no decision has
    // taken yet, in source order.
    std::vector<LogicalOperand> outermost_within(TokenRange range) const;

    const LogicalNode& node(int handle) const { return nodes_[static_cast<size_t>(handle) - 1]; }
    // Marks the node and every operator node below it as taken; returns
    // how many that is.
    int consume(int handle);
    // The number of conditions of the decision `root`, counted up to
    // `limit` + 1 without recursion (a chain of && can be as long as the
    // file).
    size_t condition_count(const LogicalOperand& root, size_t limit) const;
    // The operators inside `range` are never rewritten: the expression
    // there is not evaluated, or must stay a constant.
    void set_aside(TokenRange range);
    void clear() { nodes_.clear(); }

private:
    LogicalNode& at(int handle) { return nodes_[static_cast<size_t>(handle) - 1]; }
    bool valid(int handle) const { return handle > 0 && static_cast<size_t>(handle) <= nodes_.size(); }

    std::vector<LogicalNode> nodes_;
};

}  // namespace qor
