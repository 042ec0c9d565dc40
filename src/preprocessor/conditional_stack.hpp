// The open #if groups and whether text is currently kept.
#pragma once

#include <vector>

namespace qor {

struct ConditionalGroup {
    bool enclosing_compiling = true;  // the state when the group was entered
    bool else_seen = false;
    bool branch_taken = false;
    // An #if without argument keeps its text; its #else part is skipped.
    bool empty_argument = false;
};

class ConditionalStack {
public:
    static constexpr size_t kMaxGroups = 31;

    bool compiling() const { return compiling_; }
    void set_compiling(bool on) { compiling_ = on; }
    bool full() const { return groups_.size() >= kMaxGroups; }
    bool empty() const { return groups_.empty(); }
    ConditionalGroup& innermost() { return groups_.back(); }
    void open() { groups_.push_back({compiling_, false, false, false}); }
    // Closes the innermost group; true when this turns compiling back on.
    bool close() {
        bool was = compiling_;
        compiling_ = groups_.back().enclosing_compiling;
        groups_.pop_back();
        return compiling_ && !was;
    }

private:
    std::vector<ConditionalGroup> groups_;
    bool compiling_ = true;
};

}  // namespace qor
