#include "marker_text.hpp"

#include "foundation/char_class.hpp"

namespace full_prepro {

namespace {

// Copies a character or string literal starting at text[i]; returns the
// index after it.
size_t copy_literal(std::string_view text, size_t i, std::string& out) {
    char quote = text[i];
    out += text[i++];
    while (i < text.size() && text[i] != quote && text[i] != '\n') {
        if (text[i] == '\\' && i + 1 < text.size()) out += text[i++];
        out += text[i++];
    }
    if (i < text.size() && text[i] == quote) out += text[i++];
    return i;
}

// The index after the comment that starts at text[i].
size_t skip_comment(std::string_view text, size_t i) {
    if (text[i + 1] == '/') {
        size_t end = text.find('\n', i);
        return end == std::string_view::npos ? text.size() : end;
    }
    size_t end = text.find("*/", i + 2);
    return end == std::string_view::npos ? text.size() : end + 2;
}

void add_blank(std::string& out) {
    if (!out.empty() && out.back() != ' ') out += ' ';
}

// A "*/" inside a payload would end the marker.
std::string split_comment_ends(std::string text) {
    for (size_t end = text.find("*/"); end != std::string::npos; end = text.find("*/", end + 2)) text.insert(end + 1, " ");
    return text;
}

}  // namespace

std::string payload_text(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\\' && (next == '\n' || (next == '\r' && i + 2 < text.size() && text[i + 2] == '\n'))) {
            i += next == '\n' ? 2 : 3;
        } else if (c == '"' || c == '\'') {
            i = copy_literal(text, i, out);
        } else if (c == '/' && (next == '*' || next == '/')) {
            i = skip_comment(text, i);
            add_blank(out);
        } else if (qor::is_ascii_space(c)) {
            add_blank(out);
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return split_comment_ends(std::move(out));
}

std::string macro_marker(std::string_view name, std::string_view arguments) {
    return qor::marker_comment(qor::kMacroUseWord, std::string(name) + payload_text(arguments));
}

std::string include_marker(std::string_view path) {
    return qor::marker_comment(qor::kIncludeWord, split_comment_ends(std::string(path)) + "\"");
}

bool looks_like_marker(std::string_view comment) { return comment.starts_with(qor::kMarkerStart); }

}  // namespace full_prepro
