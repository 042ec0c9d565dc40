// Prints the tokens that clang's preprocessor returns: each on the output
// line of its source line, the first of a line indented as in the source,
// and blanks where the source had them or where two tokens would run into
// one.
#pragma once

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

private:
    unsigned line_of(clang::SourceLocation location) const;
    // Moves to the token's line and writes what goes before it.
    void place(const clang::Token& token);
    void indent(const clang::Token& token);

    clang::Preprocessor& preprocessor_;
    TextOutput& out_;
    clang::TokenConcatenation concatenation_;
    clang::Token previous_;
    clang::Token before_previous_;
    llvm::SmallString<128> spelling_buffer_;
};

}  // namespace full_prepro
