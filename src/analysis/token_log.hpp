// The texts of the open component's tokens as written in the source: the
// tokens the file itself holds, and each macro use as written in place of
// its expansion. Condition texts are read from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frontend/token_id.hpp"

namespace qor {

class TokenLog {
public:
    void add(std::string_view token) {
        text_ += token;
        ends_.push_back(text_.size());
    }
    // The instrumented file's token `token`, `compiled` as the compiler
    // sees it, was read, and its text (a macro use as written, then the
    // token if the file holds it) starts at entry `start`.
    void mark(TokenId token, size_t start, std::string_view compiled);
    void clear();
    size_t size() const { return ends_.size(); }
    std::string_view operator[](size_t i) const {
        size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(begin, ends_[i] - begin);
    }
    // Entries `start` to `end` (excluded), words kept apart by a blank.
    std::string text(size_t start, size_t end) const;
    // The written text of the instrumented file's tokens `first` to `last`;
    // tokens that only a macro's expansion holds (after its first one,
    // which carries the macro use) give their compiled text.
    std::string text(TokenId first, TokenId last) const;

private:
    size_t start_of(TokenId token) const;
    static void append_word_spaced(std::string& text, std::string_view token);

    std::string text_;
    std::vector<size_t> ends_;
    // Where each marked token's text starts, from the first marked token.
    std::vector<size_t> token_starts_;
    std::vector<std::string> compiled_;
    TokenId first_token_ = 0;
};

}  // namespace qor
