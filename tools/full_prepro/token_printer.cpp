#include "token_printer.hpp"

#include <string>

#include "marker_text.hpp"

namespace full_prepro {

unsigned TokenPrinter::line_of(clang::SourceLocation location) const {
    clang::PresumedLoc presumed = preprocessor_.getSourceManager().getPresumedLoc(location);
    return presumed.isValid() ? presumed.getLine() : 0;
}

void TokenPrinter::indent(const clang::Token& token) {
    unsigned column = preprocessor_.getSourceManager().getExpansionColumnNumber(token.getLocation());
    // A token that starts an expansion in column 1 may still carry a blank.
    if (column == 1 && token.hasLeadingSpace()) column = 2;
    // A '#' in column 1 would read as a directive.
    if (column <= 1 && token.is(clang::tok::hash)) column = 2;
    if (column > 1) out_.write(std::string(column - 1, ' '));
}

void TokenPrinter::place(const clang::Token& token) {
    if (token.isAtStartOfLine() || out_.directive_on_line()) {
        if (unsigned line = line_of(token.getLocation())) out_.move_to_line(line, false);
    }
    if (out_.at_line_start())
        indent(token);
    else if (token.hasLeadingSpace() || concatenation_.AvoidConcat(before_previous_, previous_, token))
        out_.write(" ");
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
    before_previous_ = previous_;
    previous_ = token;
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

}  // namespace full_prepro
