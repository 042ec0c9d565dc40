// Prints the tokens that clang's preprocessor returns: each on the output
// line of its source line, the first of a line indented as in the source,
// and blanks where the source had them or where two tokens would run into
// one.
#pragma once

#include <optional>
#include <string_view>

#include <clang/Lex/Preprocessor.h>
#include <clang/Lex/TokenConcatenation.h>
#include <llvm/ADT/SmallString.h>

#include "text_output.hpp"

namespace full_prepro {

class TokenPrinter {
public:
    TokenPrinter(clang::Preprocessor& preprocessor, TextOutput& out)
        : preprocessor_(preprocessor), out_(out), concatenation_(preprocessor) {
        previous_.startToken();
        before_previous_.startToken();
    }

    void print(const clang::Token& token);
    // Puts a marker where `token` would go.
    void print_marker_at(const clang::Token& token, std::string_view marker);
    // Puts a marker after the text written last.
    void print_marker(std::string_view marker);
    // A directive line at the source line of `location`.
    void print_directive(clang::SourceLocation location, std::string_view text);
    // What the #embed line at `hash` gives starts on its line, indented as
    // the directive. clang does not mark the first token after the
    // directive, which ends before `end`, as the start of a line: it is
    // placed as if it were.
    void start_embedded(clang::SourceLocation hash, clang::SourceLocation end);
    // The tokens of an #embed line that ends before `end` are not written.
    void hide_embedded(clang::SourceLocation end);
    bool hidden(const clang::Token& token) const;
    // The data of #embed's annotation token as the compiler reads it: the
    // bytes' values as a list of integers.
    void print_embedded(const clang::Token& annotation);

private:
    unsigned line_of(clang::SourceLocation location) const;
    // Moves to the token's line and writes what goes before it.
    void place(const clang::Token& token);
    void indent(const clang::Token& token);
    void remember(const clang::Token& token);
    bool before_embed_end(const clang::Token& token) const;
    bool first_after_embed(const clang::Token& token);

    clang::Preprocessor& preprocessor_;
    TextOutput& out_;
    clang::TokenConcatenation concatenation_;
    clang::Token previous_;
    clang::Token before_previous_;
    llvm::SmallString<128> spelling_buffer_;
    // The last #embed line, until a token beyond its end is placed.
    struct EmbedLine {
        clang::SourceLocation end;
        unsigned column;
        bool shown;
    };
    std::optional<EmbedLine> embed_;
};

}  // namespace full_prepro
