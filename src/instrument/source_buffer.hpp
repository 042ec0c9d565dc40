// The text of the function being instrumented that is not yet written to
// the instrumented file. Every token is numbered as the lexer hands it on,
// so that a probe can be placed right before or after a given token
// whatever the parser has read beyond it.
#pragma once

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

using TokenId = int;  // 0: no token

class SourceBuffer {
public:
    // A token's text with the blank that follows it; returns its number.
    TokenId append_token(std::string_view text);
    // Layout between tokens (line ends, text of skipped regions).
    void append_layout(std::string_view text) { text_ += text; }

    // Writes the text before the token, or up to and including it, and
    // removes it from the buffer. A token already written writes nothing
    // more (for flush_before: nothing at all).
    void flush_before(TokenId token, FILE* out);
    void flush_through(TokenId token, FILE* out);
    void flush_all(FILE* out);
    // Removes the token's text (its blank too) without writing it.
    void drop(TokenId token);
    // Put text right after or right before the token, as part of it; a
    // token already written is before everything the buffer holds.
    void insert_after(TokenId token, std::string_view text);
    void insert_before(TokenId token, std::string_view text);

    // The text from the start of `first` to the end of `last`, with what
    // was attached to them and without the blanks that end it; none when
    // either token has left the buffer.
    std::optional<std::string> text(TokenId first, TokenId last) const;
    // Both tokens, `first` not after `last`, are still in the buffer.
    bool holds(TokenId first, TokenId last) const;
    // Replaces the tokens from `first` to `last` by `text`, which then
    // belongs to `first`; the others are gone. False, and nothing changed,
    // when either token has left the buffer.
    bool replace(TokenId first, TokenId last, std::string_view text);

    TokenId last_token() const { return next_ - 1; }

private:
    struct Span {
        TokenId token;
        size_t start;
        size_t end;
    };
    std::deque<Span>::const_iterator find(TokenId token) const;
    void write_and_remove(size_t length, FILE* out);
    void shift(size_t at, long amount);
    void attach(TokenId token, std::string_view text, bool after);

    std::string text_;
    std::deque<Span> spans_;  // the tokens still in text_, in order
    TokenId next_ = 1;
};

}  // namespace qor
