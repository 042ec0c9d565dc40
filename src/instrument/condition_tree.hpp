// The logical structure of a decision for condition coverage: its
// conditions (the maximal sub-expressions free of &&, || and !) joined by
// and, or and not, and for each outcome the vectors of condition values
// that give it under C's short-circuit evaluation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

struct ConditionNode {
    enum class Kind { Leaf, And, Or, Not };
    Kind kind = Kind::Leaf;
    std::string text;                    // a leaf's condition text
    std::unique_ptr<ConditionNode> left;  // and/or: left side; not: the operand
    std::unique_ptr<ConditionNode> right;
    int index = 0;                       // a leaf's position, from 0, left to right
};
using ConditionTree = std::unique_ptr<ConditionNode>;

ConditionTree make_leaf(std::string text);
ConditionTree make_and(ConditionTree left, ConditionTree right);
ConditionTree make_or(ConditionTree left, ConditionTree right);
ConditionTree make_not(ConditionTree operand);

// "(a && b)", "(a || b)", " !a", or a leaf's text.
std::string tree_text(const ConditionNode& node);
// Numbers the leaves left to right; returns their count.
int number_conditions(ConditionNode& node);
// The leaves' texts, in condition order.
std::vector<std::string> condition_texts(const ConditionNode& node);

// One value per condition: 2 true, 1 false, 15 not evaluated, 0 impossible.
using ConditionVector = std::vector<uint8_t>;
inline constexpr uint8_t kTrue = 2;
inline constexpr uint8_t kFalse = 1;
inline constexpr uint8_t kNotEvaluated = 15;

struct VectorSets {
    std::vector<ConditionVector> when_true;
    std::vector<ConditionVector> when_false;
};

// The vectors of each outcome, in the order the decision's text lists them;
// the leaves must be numbered.
VectorSets vector_sets(const ConditionNode& node, int conditions);
// How many vectors vector_sets would give, both outcomes together,
// counted up to `limit` + 1 without building them.
size_t vector_count(const ConditionNode& node, size_t limit);
// "1" for a true condition, "0" for a false one, "-" otherwise, per condition.
std::string vector_text(const ConditionVector& vector);
// The true set's count and vectors, then the false set's: "1:11:2:10:0-".
std::string decision_vectors_text(const VectorSets& sets);

// The decision as the instrumented file evaluates it: " ! " for not,
// " (" left " && " right ")" and the same with " || ", and each condition
// as QVX_EVAL_0(index, its number, its text from `compiled`).
std::string instrumented_text(const ConditionNode& node, const std::vector<std::string>& compiled, int index);

}  // namespace qor
