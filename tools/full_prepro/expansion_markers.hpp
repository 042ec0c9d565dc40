// Marks the outermost macro uses of the text: "/*@QOR #macro ...*/" before
// the tokens of the expansion and "/*@QOR #f_end */" after its last token.
// Uses inside directives and uses nested in a marked expansion (in its
// arguments or produced by its tokens) get no marker.
#pragma once

#include <optional>

#include <clang/Lex/MacroInfo.h>
#include <clang/Lex/Preprocessor.h>

#include "token_printer.hpp"

namespace full_prepro {

class ExpansionMarkers {
public:
    ExpansionMarkers(clang::Preprocessor& preprocessor, TokenPrinter& printer)
        : preprocessor_(preprocessor), printer_(printer) {}

    // A use that clang expands; `range` runs from the name to the closing
    // parenthesis of the arguments.
    void macro_expands(const clang::Token& name, const clang::MacroInfo& macro, clang::SourceRange range);
    // Before each printed token: a token that the open expansion did not
    // produce ends it. The end marker is written this late so that an
    // expansion without tokens still gets both markers.
    void before_token(const clang::Token& token);
    // Ends the open expansion, if any (before a directive line, at the end).
    void close();

private:
    // The source text of the open use, extended by nested uses whose
    // arguments reach beyond it.
    struct OpenUse {
        clang::SourceLocation name;
        clang::SourceLocation end;
    };

    bool inside_open_use(clang::SourceLocation location) const;
    std::string written_arguments(const clang::Token& name, clang::SourceRange range) const;

    clang::Preprocessor& preprocessor_;
    TokenPrinter& printer_;
    std::optional<OpenUse> open_;
};

}  // namespace full_prepro
