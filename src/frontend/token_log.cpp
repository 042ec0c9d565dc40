#include "frontend/token_log.hpp"

#include "foundation/char_class.hpp"

namespace qor {

namespace {

bool is_word_char(char c) { return c == '_' || c == '$' || is_ascii_alnum(c); }

}  // namespace

void TokenLog::mark(TokenId token, size_t start) {
    if (token_starts_.empty()) first_token_ = token;
    if (token < first_token_) return;
    size_t index = static_cast<size_t>(token - first_token_);
    if (index < token_starts_.size()) return;
    // The instrumented file numbers the tokens of a function one after the
    // other; a gap would take the text read so far.
    token_starts_.resize(index, start);
    token_starts_.push_back(start);
}

void TokenLog::clear() {
    text_.clear();
    ends_.clear();
    token_starts_.clear();
    first_token_ = 0;
}

size_t TokenLog::start_of(TokenId token) const {
    if (token_starts_.empty() || token < first_token_) return 0;
    size_t index = static_cast<size_t>(token - first_token_);
    return index < token_starts_.size() ? token_starts_[index] : size();
}

std::string TokenLog::text(size_t start, size_t end) const {
    std::string text;
    for (size_t i = start; i < end && i < size(); ++i) {
        std::string_view token = (*this)[i];
        if (!text.empty() && !token.empty() && is_word_char(text.back()) && is_word_char(token.front())) text += ' ';
        text += token;
    }
    return text;
}

std::string TokenLog::text(TokenId first, TokenId last) const { return text(start_of(first), start_of(last + 1)); }

}  // namespace qor
