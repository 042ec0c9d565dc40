#include "frontend/scopes.hpp"

namespace qor {

void ScopeStack::clear() {
    names_.clear();
    declared_.clear();
    declared_.emplace_back();
}

bool ScopeStack::push() {
    if (level() >= kMaxNesting) return false;
    declared_.emplace_back();
    return true;
}

void ScopeStack::pop() {
    if (declared_.size() <= 1) return;
    for (const std::string& name : declared_.back()) {
        auto found = names_.find(name);
        if (found == names_.end()) continue;
        found->second.pop_back();
        if (found->second.empty()) names_.erase(found);
    }
    declared_.pop_back();
}

void ScopeStack::declare(const std::string& name, NameKind kind) {
    std::vector<Declaration>& declarations = names_[name];
    if (!declarations.empty() && declarations.back().level == level()) {
        declarations.back().kind = kind;
        return;
    }
    declarations.push_back({level(), kind});
    declared_.back().push_back(name);
}

bool ScopeStack::is_type_name(const std::string& name) const {
    auto found = names_.find(name);
    return found != names_.end() && found->second.back().kind == NameKind::TypeName;
}

}  // namespace qor
