// The control graph of a component: one node per control event of its
// body (start, statements, if/else, loops, switch, jumps, end), in source
// order, with labels and jump targets by name, and its text form.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

enum class NodeKind : int {
    NO_C, DEBU, RIEN, SAUT, SI, SINO, FISI, REPE, EXRE, RERE, UNTI, POUR, EXPO, REPO, FIPO, TQUE, EXTQ, RETQ, FITQ,
    CAS, FICA, BLOC, EXBL, FIBL, SORT, EXBO, REBO, SWCH, FISW, LEAV, RETU, FIN, EXCP, FIEX, EXAD, FXAD, ENAD, SYNO,
    RADA,
    SAUI,  // a jump to a computed address (GNU C's goto *p)
};

// The four-character name of a kind ("SI  ", "FIN ", "DEBU", ...).
std::string_view node_name(NodeKind kind);

struct ControlNode {
    const std::string* file = nullptr;  // the run's interned file name
    bool file_changed = false;
    int line = 0;
    std::vector<std::string> labels;
    NodeKind kind = NodeKind::NO_C;  // NO_C while the node is pending
    int sequence = 0;                // given when the graph is written
    std::vector<std::string> targets;
};

// Nodes have stable addresses: call sites point at them.
using ControlList = std::vector<std::unique_ptr<ControlNode>>;

// Builds the graphs of the components: holds the pending node (made ahead
// of its kind by a label or a call site) and the kind of the last node added.
class ControlGraphBuilder {
public:
    void control_add(ControlList& list, NodeKind kind, const std::string* file, int line);
    void control_label(ControlList& list, const std::string& name);
    void control_target(ControlList& list, const std::string& name);
    // The node a call site refers to: the pending node, made pending when
    // there is none.
    ControlNode* node_for_call();
    NodeKind last_kind() const { return last_kind_; }

private:
    // The pending node when it is in no list yet, else a new node; the slot
    // is cleared either way.
    std::unique_ptr<ControlNode> take_pending();
    // Empties the slot. A pending node that never joined a list is kept
    // alive: a call site may still point at it.
    void clear_pending();
    // Makes `node`, already owned by a list, the pending node.
    void make_pending_in_list(ControlNode* node);

    ControlNode* pending_ = nullptr;         // the pending node, wherever it lives
    std::unique_ptr<ControlNode> detached_;  // owns it while it is in no list
    std::vector<std::unique_ptr<ControlNode>> displaced_;  // dropped before joining a list
    NodeKind last_kind_ = NodeKind::NO_C;
};

// The text form of a graph (the archive's .DC. lines); numbers the nodes.
std::string control_graph_text(ControlList& list);

}  // namespace qor
