// The identities that name the objects of the results files: one counter
// for the whole run, and the identity each schema or metric name got at its
// first lookup, kept so that a name is the same object in every file.
#pragma once

#include <string>
#include <unordered_map>

namespace qor {

class ObjectIdentities {
public:
    // The next identity of the run.
    int take() { return next_++; }

    // The identity of a name, given at its first lookup.
    const std::string& of_name(const std::string& name) {
        auto [entry, created] = names_.try_emplace(name);
        if (created) entry->second = std::to_string(take());
        return entry->second;
    }

private:
    int next_ = 1;
    std::unordered_map<std::string, std::string> names_;
};

}  // namespace qor
