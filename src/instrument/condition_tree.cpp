#include "instrument/condition_tree.hpp"

#include <algorithm>

namespace qor {

namespace {

ConditionTree make_operator(ConditionNode::Kind kind, ConditionTree left, ConditionTree right) {
    auto node = std::make_unique<ConditionNode>();
    node->kind = kind;
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
}

using VectorList = std::vector<ConditionVector>;

// The lists are built by pushing each new vector at the front; building in
// order and reversing gives the same order.
VectorList reversed(VectorList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

// Every pair, each condition's requirements combined (15 & v = v, 2 & 1 = 0).
VectorList cross(const VectorList& x, const VectorList& y) {
    VectorList pushed;
    for (const ConditionVector& a : x) {
        for (const ConditionVector& b : y) {
            ConditionVector both(a.size());
            for (size_t i = 0; i < a.size(); ++i) both[i] = a[i] & b[i];
            pushed.push_back(std::move(both));
        }
    }
    return reversed(std::move(pushed));
}

VectorList join(const VectorList& x, const VectorList& y) {
    VectorList pushed = x;
    pushed.insert(pushed.end(), y.begin(), y.end());
    return reversed(std::move(pushed));
}

std::string set_text(const VectorList& set) {
    std::string text = std::to_string(set.size());
    for (const ConditionVector& vector : set) text += ":" + vector_text(vector);
    return text;
}

}  // namespace

ConditionTree make_leaf(std::string text) {
    auto node = std::make_unique<ConditionNode>();
    node->text = std::move(text);
    return node;
}

ConditionTree make_and(ConditionTree left, ConditionTree right) {
    return make_operator(ConditionNode::Kind::And, std::move(left), std::move(right));
}

ConditionTree make_or(ConditionTree left, ConditionTree right) {
    return make_operator(ConditionNode::Kind::Or, std::move(left), std::move(right));
}

ConditionTree make_not(ConditionTree operand) {
    return make_operator(ConditionNode::Kind::Not, std::move(operand), nullptr);
}

std::string tree_text(const ConditionNode& node) {
    switch (node.kind) {
    case ConditionNode::Kind::Leaf: return node.text;
    case ConditionNode::Kind::Not: return " !" + tree_text(*node.left);
    case ConditionNode::Kind::And: return "(" + tree_text(*node.left) + " && " + tree_text(*node.right) + ")";
    case ConditionNode::Kind::Or: return "(" + tree_text(*node.left) + " || " + tree_text(*node.right) + ")";
    }
    return {};
}

int number_conditions(ConditionNode& node) {
    int count = 0;
    auto visit = [&count](auto& self, ConditionNode& n) -> void {
        if (n.kind == ConditionNode::Kind::Leaf) {
            n.index = count++;
            return;
        }
        self(self, *n.left);
        if (n.right) self(self, *n.right);
    };
    visit(visit, node);
    return count;
}

std::vector<std::string> condition_texts(const ConditionNode& node) {
    if (node.kind == ConditionNode::Kind::Leaf) return {node.text};
    std::vector<std::string> texts = condition_texts(*node.left);
    if (node.right) {
        std::vector<std::string> right = condition_texts(*node.right);
        texts.insert(texts.end(), right.begin(), right.end());
    }
    return texts;
}

VectorSets vector_sets(const ConditionNode& node, int conditions) {
    switch (node.kind) {
    case ConditionNode::Kind::Leaf: {
        ConditionVector when_true(static_cast<size_t>(conditions), kNotEvaluated);
        ConditionVector when_false = when_true;
        when_true[static_cast<size_t>(node.index)] = kTrue;
        when_false[static_cast<size_t>(node.index)] = kFalse;
        return {{when_true}, {when_false}};
    }
    case ConditionNode::Kind::Not: {
        VectorSets operand = vector_sets(*node.left, conditions);
        return {reversed(operand.when_false), reversed(operand.when_true)};
    }
    case ConditionNode::Kind::And: {
        VectorSets a = vector_sets(*node.left, conditions);
        VectorSets b = vector_sets(*node.right, conditions);
        return {cross(a.when_true, b.when_true), join(a.when_false, cross(a.when_true, b.when_false))};
    }
    case ConditionNode::Kind::Or: {
        VectorSets a = vector_sets(*node.left, conditions);
        VectorSets b = vector_sets(*node.right, conditions);
        return {join(a.when_true, cross(a.when_false, b.when_true)), cross(a.when_false, b.when_false)};
    }
    }
    return {};
}

size_t vector_count(const ConditionNode& node, size_t limit) {
    struct Counts {
        size_t when_true;
        size_t when_false;
    };
    auto capped = [limit](size_t value) { return std::min(value, limit + 1); };
    auto product = [&](size_t a, size_t b) { return a != 0 && b > (limit + 1) / a ? limit + 1 : capped(a * b); };
    auto count = [&](auto& self, const ConditionNode& n) -> Counts {
        switch (n.kind) {
        case ConditionNode::Kind::Leaf: return {1, 1};
        case ConditionNode::Kind::Not: {
            Counts operand = self(self, *n.left);
            return {operand.when_false, operand.when_true};
        }
        case ConditionNode::Kind::And: {
            Counts a = self(self, *n.left);
            Counts b = self(self, *n.right);
            return {product(a.when_true, b.when_true), capped(a.when_false + product(a.when_true, b.when_false))};
        }
        case ConditionNode::Kind::Or: {
            Counts a = self(self, *n.left);
            Counts b = self(self, *n.right);
            return {capped(a.when_true + product(a.when_false, b.when_true)), product(a.when_false, b.when_false)};
        }
        }
        return {0, 0};
    };
    Counts total = count(count, node);
    return capped(total.when_true + total.when_false);
}

std::string instrumented_text(const ConditionNode& node, const std::vector<std::string>& compiled, int index) {
    switch (node.kind) {
    case ConditionNode::Kind::Leaf:
        return "QVX_EVAL_0(" + std::to_string(index) + ", " + std::to_string(node.index) + ", " +
               compiled[static_cast<size_t>(node.index)] + ")";
    case ConditionNode::Kind::Not: return " ! " + instrumented_text(*node.left, compiled, index);
    case ConditionNode::Kind::And:
    case ConditionNode::Kind::Or:
        return " (" + instrumented_text(*node.left, compiled, index) +
               (node.kind == ConditionNode::Kind::And ? " && " : " || ") +
               instrumented_text(*node.right, compiled, index) + ")";
    }
    return {};
}

std::string vector_text(const ConditionVector& vector) {
    std::string text;
    for (uint8_t value : vector) text += value == kTrue ? '1' : value == kFalse ? '0' : '-';
    return text;
}

std::string decision_vectors_text(const VectorSets& sets) {
    return set_text(sets.when_true) + ":" + set_text(sets.when_false);
}

}  // namespace qor
