#include "analysis/token_log.hpp"

#include "foundation/char_class.hpp"

namespace qor {

namespace {

bool is_word_char(char c) { return c == '_' || c == '$' || is_ascii_alnum(c); }

}  // namespace

void TokenLog::mark(TokenId token, size_t start, std::string_view compiled) {
    if (token_starts_.empty()) first_token_ = token;
    if (token < first_token_) return;
    size_t index = static_cast<size_t>(token - first_token_);
    if (index < token_starts_.size()) return;
    // The instrumented file numbers the tokens of a function one after the
    // other; a gap would take the text read so far.
    token_starts_.resize(index, start);
    token_starts_.push_back(start);
    compiled_.resize(index);
    compiled_.emplace_back(compiled);
}

void TokenLog::clear() {
    text_.clear();
    ends_.clear();
    token_starts_.clear();
    compiled_.clear();
    first_token_ = 0;
}

size_t TokenLog::start_of(TokenId token) const {
    if (token_starts_.empty() || token < first_token_) return 0;
    size_t index = static_cast<size_t>(token - first_token_);
    return index < token_starts_.size() ? token_starts_[index] : size();
}

void TokenLog::append_word_spaced(std::string& text, std::string_view token) {
    if (!text.empty() && !token.empty() && is_word_char(text.back()) && is_word_char(token.front())) text += ' ';
    text += token;
}

std::string TokenLog::text(size_t start, size_t end) const {
    std::string text;
    for (size_t i = start; i < end && i < size(); ++i) append_word_spaced(text, (*this)[i]);
    return text;
}

std::string TokenLog::text(TokenId first, TokenId last) const {
    std::string written = text(start_of(first), start_of(last + 1));
    if (!written.empty() || first < first_token_) return written;
    for (TokenId token = first; token <= last; ++token) {
        size_t index = static_cast<size_t>(token - first_token_);
        if (index < compiled_.size()) append_word_spaced(written, compiled_[index]);
    }
    return written;
}

}  // namespace qor
