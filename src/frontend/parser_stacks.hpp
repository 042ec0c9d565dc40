// The memory of the parser's stacks once they outgrow their first entries.
// The parser releases each block it replaces; a block still held when the
// owner goes (a parse left by an exception, which skips the parser's own
// cleanup) goes with it.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace qor {

class ParserStacks {
public:
    void* allocate(std::size_t size) {
        std::size_t units = (size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
        blocks_.push_back(std::make_unique_for_overwrite<std::max_align_t[]>(units));
        return blocks_.back().get();
    }
    void release(void* block) {
        std::erase_if(blocks_, [block](const auto& held) { return held.get() == block; });
    }

private:
    std::vector<std::unique_ptr<std::max_align_t[]>> blocks_;
};

}  // namespace qor
