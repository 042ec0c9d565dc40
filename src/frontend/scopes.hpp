// The declaration scopes of one file: which names are type names where.
// The lexer asks them to tell type names from identifiers.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace qor {

enum class NameKind { TypeName = 1, OrdinaryName = 2 };

class ScopeStack {
public:
    static constexpr int kMaxNesting = 100;

    ScopeStack() { clear(); }
    // Back to the file scope alone.
    void clear();
    // False past the nesting limit (the caller reports it).
    bool push();
    void pop();
    // Declares in the innermost scope.
    void declare(const std::string& name, NameKind kind);
    // From the innermost scope outwards, the first that declares the name.
    bool is_type_name(const std::string& name) const;
    int level() const { return static_cast<int>(declared_.size()) - 1; }

private:
    struct Declaration {
        int level;
        NameKind kind;
    };
    // Each name with its declarations, innermost last: one lookup answers
    // the lexer's question, whatever the nesting.
    std::unordered_map<std::string, std::vector<Declaration>> names_;
    // The names declared at each level, to forget them when it closes.
    std::vector<std::vector<std::string>> declared_;
};

}  // namespace qor
