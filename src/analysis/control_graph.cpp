#include "analysis/control_graph.hpp"

#include <array>

namespace qor {

namespace {

constexpr std::array<std::string_view, 40> kNodeNames = {
    "NO_C", "DEBU", "RIEN", "SAUT", "SI  ", "SINO", "FISI", "REPE", "EXRE", "RERE", "UNTI", "POUR", "EXPO",
    "REPO", "FIPO", "TQUE", "EXTQ", "RETQ", "FITQ", "CAS ", "FICA", "BLOC", "EXBL", "FIBL", "SORT", "EXBO",
    "REBO", "SWCH", "FISW", "LEAV", "RETU", "FIN ", "EXCP", "FIEX", "EXAD", "FXAD", "ENAD", "SYNO", "RADA",
    "SAUI",
};

std::string_view file_text(const std::string* file) { return file ? std::string_view(*file) : std::string_view(); }

// The end of a node's line: ";#<line>." then the file name and a comma when
// the node starts a stretch of another file.
void append_line_end(std::string& out, int line, const std::string* file, bool file_changed) {
    out += ";#";
    out += std::to_string(line);
    out += '.';
    if (file_changed) {
        out += file_text(file);
        out += ',';
    }
    out += '\n';
}

// Consecutive unlabelled RIEN nodes of one file are written as one line.
struct RienRun {
    int count = 0;
    const std::string* file = nullptr;
    int line = 0;
    bool file_changed = false;

    bool open() const { return count > 0; }
    bool extended_by(const ControlNode& node) const {
        return node.kind == NodeKind::RIEN && node.labels.empty() && file_text(node.file) == file_text(file);
    }
    void close(std::string& out) {
        out += '/';
        out += std::to_string(count);
        append_line_end(out, line, file, file_changed);
        count = 0;
    }
};

}  // namespace

std::string_view node_name(NodeKind kind) {
    auto code = static_cast<size_t>(kind);
    return code < kNodeNames.size() ? kNodeNames[code] : kNodeNames[0];
}

std::unique_ptr<ControlNode> ControlGraphBuilder::take_pending() {
    std::unique_ptr<ControlNode> node = detached_ ? std::move(detached_) : std::make_unique<ControlNode>();
    pending_ = nullptr;
    return node;
}

void ControlGraphBuilder::clear_pending() {
    if (detached_) displaced_.push_back(std::move(detached_));
    pending_ = nullptr;
}

void ControlGraphBuilder::make_pending_in_list(ControlNode* node) {
    clear_pending();
    pending_ = node;
}

void ControlGraphBuilder::control_add(ControlList& list, NodeKind kind, const std::string* file, int line) {
    if (list.empty()) list.push_back(take_pending());
    ControlNode* node = list.back().get();
    const std::string* previous_file = node->file;
    if (node->kind != NodeKind::NO_C) {
        list.push_back(take_pending());
        node = list.back().get();
    } else {
        clear_pending();
    }
    node->kind = kind;
    node->line = line;
    node->file = file;
    // A component's first node compares with no file, so it is always marked.
    if (file != previous_file) node->file_changed = true;
    last_kind_ = kind;
}

void ControlGraphBuilder::control_label(ControlList& list, const std::string& name) {
    if (list.empty()) {
        list.push_back(std::make_unique<ControlNode>());
        make_pending_in_list(list.back().get());
    } else if (list.back()->kind != NodeKind::NO_C) {
        // The label belongs to the statement that comes next: a node waits
        // for its kind, in the file of the node before it.
        auto node = std::make_unique<ControlNode>();
        node->file = list.back()->file;
        list.push_back(std::move(node));
        make_pending_in_list(list.back().get());
    }
    list.back()->labels.push_back(name);
}

void ControlGraphBuilder::control_target(ControlList& list, const std::string& name) {
    if (list.empty()) list.push_back(take_pending());
    list.back()->targets.push_back(name);
}

ControlNode* ControlGraphBuilder::node_for_call() {
    if (!pending_) {
        detached_ = std::make_unique<ControlNode>();
        pending_ = detached_.get();
    }
    return pending_;
}

std::string control_graph_text(ControlList& list) {
    std::string out;
    int sequence = 0;
    RienRun run;
    for (auto& owned : list) {
        ControlNode& node = *owned;
        if (run.open() && !run.extended_by(node)) run.close(out);
        for (const std::string& label : node.labels) {
            out += '!';
            out += label;
        }
        if (node.kind == NodeKind::RIEN) {
            if (++run.count == 1) {
                ++sequence;
                out += ":RIEN ";
                run.file = node.file;
                run.line = node.line;
                run.file_changed = node.file_changed;
            }
        } else {
            ++sequence;
            out += ':';
            out += node_name(node.kind);
            out += ' ';
            for (const std::string& target : node.targets) {
                out += '/';
                out += target;
            }
            append_line_end(out, node.line, node.file, node.file_changed);
        }
        node.sequence = sequence;
    }
    if (run.open()) run.close(out);
    return out;
}

}  // namespace qor
