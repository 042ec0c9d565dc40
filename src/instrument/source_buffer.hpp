// The text of the function being instrumented that is not yet written to
// the instrumented file. Every token is numbered as the lexer hands it on,
// and the probes are attached to tokens, so that a probe lands before or
// after a given token whatever the parser has read beyond it, and the
// text of a construct that encloses others (a return whose value holds a
// statement expression) can still be changed when the construct ends.
#pragma once

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/token_id.hpp"

namespace qor {

class SourceBuffer {
public:
    // A token's text with the blank that follows it; returns its number.
    TokenId append_token(std::string_view text);
    // Layout between tokens (line ends, text of skipped regions).
    void append_layout(std::string_view text);

    // Writes the text up to and including the token and removes it from
    // the buffer; nothing for a token already written.
    void flush_through(TokenId token, FILE* out);
    void flush_all(FILE* out);
    // Removes the token's text (its blank too) with what was attached to
    // it; text can still be put after it.
    void drop(TokenId token);
    // Put text right after or right before the token (before what was put
    // there earlier), as part of it. For a token already written the text
    // goes to `out` at once: it is before everything the buffer holds.
    void insert_after(TokenId token, std::string_view text, FILE* out);
    void insert_before(TokenId token, std::string_view text, FILE* out);

    // The text from the start of `first` to the end of `last`, with what
    // was attached to them and without the blanks that end it; none when
    // the range is not held.
    std::optional<std::string> text(TokenId first, TokenId last) const;
    // Both tokens, `first` not after `last`, are still in the buffer, and
    // the range holds whole any earlier replaced range it meets: one that
    // starts or ends inside such a range would cut the text that its first
    // token now carries.
    bool holds(TokenId first, TokenId last) const;
    // Replaces the tokens from `first` to `last`, with what was attached to
    // them and the layout between them, by `text`, which then belongs to
    // `first`; the others are dropped. False, and nothing changed, when
    // the range is not held.
    bool replace(TokenId first, TokenId last, std::string_view text);

private:
    // A token with what was attached to it, or the layout that follows
    // the token `token` (0 before any token).
    struct Piece {
        TokenId token;
        bool layout;
        std::string text;
        bool replaced = false;  // its text went to the first token of a replaced range
    };
    using Pieces = std::deque<Piece>;
    Pieces::iterator find(TokenId token);
    Pieces::const_iterator find(TokenId token) const;
    void write_and_remove(Pieces::iterator end, FILE* out);

    Pieces pieces_;  // in text order: by token, a token before its layout
    TokenId next_ = 1;
};

}  // namespace qor
