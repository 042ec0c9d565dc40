#include "instrument/source_buffer.hpp"

#include <algorithm>
#include <utility>

namespace qor {

namespace {

void write_text(std::string_view text, FILE* out) { std::fwrite(text.data(), 1, text.size(), out); }

}  // namespace

TokenId SourceBuffer::append_token(std::string_view text) {
    pieces_.push_back({next_, false, std::string(text)});
    return next_++;
}

void SourceBuffer::append_layout(std::string_view text) {
    if (!pieces_.empty() && pieces_.back().layout)
        pieces_.back().text += text;
    else
        pieces_.push_back({next_ - 1, true, std::string(text)});
}

SourceBuffer::Pieces::const_iterator SourceBuffer::find(TokenId token) const {
    // A token's piece comes before the layout that follows it.
    auto found = std::lower_bound(pieces_.begin(), pieces_.end(), token,
                                  [](const Piece& piece, TokenId id) { return piece.token < id; });
    return found != pieces_.end() && found->token == token && !found->layout ? found : pieces_.end();
}

SourceBuffer::Pieces::iterator SourceBuffer::find(TokenId token) {
    auto found = std::as_const(*this).find(token);
    return pieces_.begin() + (found - pieces_.cbegin());
}

void SourceBuffer::write_and_remove(Pieces::iterator end, FILE* out) {
    for (auto piece = pieces_.begin(); piece != end; ++piece) write_text(piece->text, out);
    pieces_.erase(pieces_.begin(), end);
}

void SourceBuffer::flush_through(TokenId token, FILE* out) {
    auto piece = find(token);
    if (piece != pieces_.end()) write_and_remove(piece + 1, out);
}

void SourceBuffer::flush_all(FILE* out) { write_and_remove(pieces_.end(), out); }

// The piece stays, empty, so that text can still be put after the token.
void SourceBuffer::drop(TokenId token) {
    auto piece = find(token);
    if (piece != pieces_.end()) piece->text.clear();
}

void SourceBuffer::insert_after(TokenId token, std::string_view text, FILE* out) {
    auto piece = find(token);
    if (piece == pieces_.end())
        write_text(text, out);
    else
        piece->text += text;
}

void SourceBuffer::insert_before(TokenId token, std::string_view text, FILE* out) {
    auto piece = find(token);
    if (piece == pieces_.end())
        write_text(text, out);
    else
        piece->text.insert(0, text);
}

bool SourceBuffer::holds(TokenId first, TokenId last) const {
    if (first > last || find(first) == pieces_.end() || find(last) == pieces_.end()) return false;
    auto after = find(last + 1);
    return !find(first)->replaced && (after == pieces_.end() || !after->replaced);
}

std::optional<std::string> SourceBuffer::text(TokenId first, TokenId last) const {
    if (!holds(first, last)) return std::nullopt;
    std::string text;
    for (auto piece = find(first), end = find(last) + 1; piece != end; ++piece) text += piece->text;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

bool SourceBuffer::replace(TokenId first, TokenId last, std::string_view text) {
    if (!holds(first, last)) return false;
    auto from = find(first);
    for (auto piece = from + 1, end = find(last) + 1; piece != end; ++piece) {
        piece->text.clear();
        piece->replaced = true;
    }
    from->text = text;
    return true;
}

}  // namespace qor
