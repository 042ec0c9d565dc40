#include "token_printer.hpp"

#include <string>

#include "embedded_data.hpp"
#include "marker_text.hpp"

namespace full_prepro {

unsigned TokenPrinter::line_of(clang::SourceLocation location) const {
    clang::PresumedLoc presumed = preprocessor_.getSourceManager().getPresumedLoc(location);
    return presumed.isValid() ? presumed.getLine() : 0;
}

void TokenPrinter::indent(const clang::Token& token) {
    unsigned column = embed_ ? embed_->column
                             : preprocessor_.getSourceManager().getExpansionColumnNumber(token.getLocation());
    // A token that starts an expansion in column 1 may still carry a blank.
    if (column == 1 && token.hasLeadingSpace()) column = 2;
    // A '#' in column 1 would read as a directive.
    if (column <= 1 && token.is(clang::tok::hash)) column = 2;
    if (column > 1) out_.write(std::string(column - 1, ' '));
}

bool TokenPrinter::before_embed_end(const clang::Token& token) const {
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    return sources.isBeforeInTranslationUnit(sources.getExpansionLoc(token.getLocation()), embed_->end);
}

bool TokenPrinter::first_after_embed(const clang::Token& token) {
    if (!embed_ || before_embed_end(token)) return false;
    embed_.reset();
    return true;
}

void TokenPrinter::place(const clang::Token& token) {
    bool after_embed = first_after_embed(token);
    if (token.isAtStartOfLine() || after_embed || out_.directive_on_line()) {
        if (unsigned line = line_of(token.getLocation())) out_.move_to_line(line, false);
    }
    // clang's test for tokens that would run into one spells both tokens;
    // an annotation token has no spelling, and embedded data ends in a
    // digit.
    if (out_.at_line_start())
        indent(token);
    else if (token.hasLeadingSpace() || token.isAnnotation() || previous_.isAnnotation() ||
             concatenation_.AvoidConcat(before_previous_, previous_, token))
        out_.write(" ");
}

void TokenPrinter::remember(const clang::Token& token) {
    before_previous_ = previous_;
    previous_ = token;
}

void TokenPrinter::print(const clang::Token& token) {
    place(token);
    std::string_view spelling = preprocessor_.getSpelling(token, spelling_buffer_);
    if (token.is(clang::tok::comment) && looks_like_marker(spelling)) {
        // Keeps an author's comment from being read as a marker.
        out_.write("/* ");
        spelling.remove_prefix(2);
    }
    out_.write(spelling);
    remember(token);
}

void TokenPrinter::print_marker_at(const clang::Token& token, std::string_view marker) {
    place(token);
    print_marker(marker);
}

void TokenPrinter::print_marker(std::string_view marker) {
    // A blank keeps a '/' before the marker from making it a line comment.
    if (!out_.at_line_start() && !out_.ends_with_blank()) out_.write(" ");
    out_.write(marker);
}

void TokenPrinter::print_directive(clang::SourceLocation location, std::string_view text) {
    unsigned line = line_of(location);
    if (line)
        out_.move_to_line(line, true);
    else
        out_.start_new_line_if_needed();
    out_.write_directive(text);
}

void TokenPrinter::start_embedded(clang::SourceLocation hash, clang::SourceLocation end) {
    if (unsigned line = line_of(hash)) out_.move_to_line(line, true);
    embed_ = EmbedLine{end, preprocessor_.getSourceManager().getExpansionColumnNumber(hash), true};
}

void TokenPrinter::hide_embedded(clang::SourceLocation end) { embed_ = EmbedLine{end, 0, false}; }

bool TokenPrinter::hidden(const clang::Token& token) const {
    return embed_ && !embed_->shown && before_embed_end(token);
}

void TokenPrinter::print_embedded(const clang::Token& annotation) {
    place(annotation);
    const auto& data = *static_cast<const clang::EmbedAnnotationData*>(annotation.getAnnotationValue());
    out_.write(integer_list(data.BinaryData));
    remember(annotation);
}

}  // namespace full_prepro
