// The numbers that an instrumented file gives the tokens as the lexer hands
// them on: the grammar's values carry them, and the probes are placed by
// them.
#pragma once

namespace qor {

using TokenId = int;  // 0: no token

// The tokens `first` to `last`, both included.
struct TokenRange {
    TokenId first = 0;
    TokenId last = 0;
    bool operator==(const TokenRange&) const = default;
    bool contains(const TokenRange& other) const { return first <= other.first && other.last <= last; }
};

}  // namespace qor
