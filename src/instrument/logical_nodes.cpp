#include "instrument/logical_nodes.hpp"

#include <algorithm>

namespace qor {

int LogicalNodes::make(ConditionNode::Kind kind, LogicalOperand left, LogicalOperand right, TokenRange range,
                       int line) {
    nodes_.push_back({kind, left, right, range, range, line, false});
    return static_cast<int>(nodes_.size());
}

int LogicalNodes::parenthesize(int handle, TokenRange inner, TokenRange outer) {
    if (!valid(handle) || at(handle).range != inner) return 0;
    at(handle).range = outer;
    return handle;
}

LogicalOperand LogicalNodes::operand(int handle, TokenRange range) const {
    if (valid(handle) && !node(handle).consumed && node(handle).range == range) return {handle, range};
    return {0, range};
}

// Later nodes enclose earlier ones (an operator is reduced after its
// operands), so walking backwards meets every outer node before the nodes
// inside it. The nodes of earlier expressions were all made before those
// of this one: the walk ends at the first of them.
std::vector<LogicalOperand> LogicalNodes::outermost_within(TokenRange range) const {
    std::vector<LogicalOperand> found;
    for (size_t i = nodes_.size(); i-- > 0;) {
        const LogicalNode& candidate = nodes_[i];
        if (candidate.range.last < range.first) break;
        if (candidate.consumed || !range.contains(candidate.range)) continue;
        bool inside_another = std::any_of(found.begin(), found.end(), [&](const LogicalOperand& outer) {
            return outer.range.contains(candidate.range);
        });
        if (!inside_another) found.push_back({static_cast<int>(i) + 1, candidate.range});
    }
    std::reverse(found.begin(), found.end());
    return found;
}

void LogicalNodes::set_aside(TokenRange range) {
    for (size_t i = nodes_.size(); i-- > 0 && nodes_[i].range.last >= range.first;)
        if (range.contains(nodes_[i].range)) nodes_[i].consumed = true;
}

size_t LogicalNodes::condition_count(const LogicalOperand& root, size_t limit) const {
    size_t count = 0;
    std::vector<LogicalOperand> pending{root};
    while (!pending.empty() && count <= limit) {
        LogicalOperand operand = pending.back();
        pending.pop_back();
        if (operand.node == 0) {
            ++count;
            continue;
        }
        const LogicalNode& operator_node = node(operand.node);
        pending.push_back(operator_node.left);
        if (operator_node.kind != ConditionNode::Kind::Not) pending.push_back(operator_node.right);
    }
    return count;
}

int LogicalNodes::consume(int handle) {
    if (!valid(handle) || at(handle).consumed) return 0;
    LogicalNode& taken = at(handle);
    taken.consumed = true;
    return 1 + consume(taken.left.node) + consume(taken.right.node);
}

}  // namespace qor
