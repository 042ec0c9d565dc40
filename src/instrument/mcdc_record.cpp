#include "instrument/mcdc_record.hpp"

namespace qor {

std::string description_escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"')
            out += "\\\"";
        else if (c == ':')
            out += "\\\\:";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string mcdc_record(const McdcDecision& decision, const ConditionNode& tree, const VectorSets& sets, bool first) {
    std::vector<std::string> conditions = condition_texts(tree);
    std::string out = first ? "\n{1, " : ",\n{1, ";
    out += std::to_string(decision.component) + ", \"" + std::to_string(decision.record) + ":" +
           std::to_string(decision.line) + ":" + std::to_string(decision.decision) + ":" +
           std::to_string(conditions.size()) + ":";
    for (const std::string& condition : conditions) out += description_escaped(condition) + ":";
    out += decision_vectors_text(sets) + ":";
    bool plain = tree.kind == ConditionNode::Kind::And || tree.kind == ConditionNode::Kind::Or;
    std::string expression = description_escaped(tree_text(tree));
    out += plain ? expression + "\"}" : "(" + expression + ")\"}";
    return out;
}

}  // namespace qor
