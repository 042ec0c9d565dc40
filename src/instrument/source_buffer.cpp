#include "instrument/source_buffer.hpp"

#include <algorithm>

namespace qor {

TokenId SourceBuffer::append_token(std::string_view text) {
    spans_.push_back({next_, text_.size(), text_.size() + text.size()});
    text_ += text;
    return next_++;
}

std::deque<SourceBuffer::Span>::const_iterator SourceBuffer::find(TokenId token) const {
    auto found = std::lower_bound(spans_.begin(), spans_.end(), token,
                                  [](const Span& span, TokenId id) { return span.token < id; });
    return found != spans_.end() && found->token == token ? found : spans_.end();
}

void SourceBuffer::write_and_remove(size_t length, FILE* out) {
    std::fwrite(text_.data(), 1, length, out);
    text_.erase(0, length);
    while (!spans_.empty() && spans_.front().start < length) spans_.pop_front();
    shift(0, -static_cast<long>(length));
}

// Moves the tokens that start at or after `at`.
void SourceBuffer::shift(size_t at, long amount) {
    for (Span& span : spans_) {
        if (span.start < at) continue;
        span.start += amount;
        span.end += amount;
    }
}

// Text put before or after a token belongs to it from then on: it is
// written and dropped with the token.
void SourceBuffer::attach(TokenId token, std::string_view text, bool after) {
    auto span = find(token);
    if (span == spans_.end()) {
        text_.insert(0, text);
        shift(0, static_cast<long>(text.size()));
        return;
    }
    size_t index = static_cast<size_t>(span - spans_.begin());
    size_t at = after ? span->end : span->start;
    text_.insert(at, text);
    for (size_t i = index + 1; i < spans_.size(); ++i) {
        spans_[i].start += text.size();
        spans_[i].end += text.size();
    }
    spans_[index].end += text.size();
}

void SourceBuffer::flush_before(TokenId token, FILE* out) {
    auto span = find(token);
    if (span != spans_.end()) write_and_remove(span->start, out);
}

void SourceBuffer::flush_through(TokenId token, FILE* out) {
    auto span = find(token);
    if (span != spans_.end()) write_and_remove(span->end, out);
}

void SourceBuffer::flush_all(FILE* out) {
    std::fwrite(text_.data(), 1, text_.size(), out);
    text_.clear();
    spans_.clear();
}

void SourceBuffer::drop(TokenId token) {
    auto span = find(token);
    if (span == spans_.end()) return;
    size_t start = span->start;
    size_t length = span->end - span->start;
    spans_.erase(span);
    text_.erase(start, length);
    shift(start, -static_cast<long>(length));
}

bool SourceBuffer::holds(TokenId first, TokenId last) const {
    return first <= last && find(first) != spans_.end() && find(last) != spans_.end();
}

std::optional<std::string> SourceBuffer::text(TokenId first, TokenId last) const {
    if (!holds(first, last)) return std::nullopt;
    auto from = find(first);
    auto to = find(last);
    size_t end = to->end;
    while (end > from->start && (text_[end - 1] == ' ' || text_[end - 1] == '\t')) --end;
    return text_.substr(from->start, end - from->start);
}

bool SourceBuffer::replace(TokenId first, TokenId last, std::string_view text) {
    if (!holds(first, last)) return false;
    auto from = find(first);
    auto to = find(last);
    size_t start = from->start;
    size_t length = to->end - start;
    auto first_index = from - spans_.begin();
    spans_.erase(from + 1, to + 1);
    text_.replace(start, length, text);
    spans_[static_cast<size_t>(first_index)].end = start + text.size();
    shift(start + 1, static_cast<long>(text.size()) - static_cast<long>(length));
    return true;
}

// A token no longer in the buffer has been written: what the buffer holds
// comes after it.
void SourceBuffer::insert_after(TokenId token, std::string_view text) { attach(token, text, true); }

void SourceBuffer::insert_before(TokenId token, std::string_view text) { attach(token, text, false); }

}  // namespace qor
