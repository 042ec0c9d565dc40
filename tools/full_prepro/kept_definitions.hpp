// The #define and #undef lines passed on at their place: those of the
// macros left unexpanded, so that the compiler of the output expands them,
// and those of the macros that their definitions use, directly or through
// others, so that those expansions still find every macro they need. The
// definitions of the predefines (definitions file, -D) are the compiler's
// own and are not repeated.
#pragma once

#include <unordered_map>
#include <unordered_set>

#include <clang/Lex/MacroInfo.h>
#include <clang/Lex/Preprocessor.h>

#include "macro_selection.hpp"
#include "token_printer.hpp"

namespace full_prepro {

class KeptDefinitions {
public:
    KeptDefinitions(clang::Preprocessor& preprocessor, TokenPrinter& printer, const MacroSelection& selection)
        : preprocessor_(preprocessor), printer_(printer), selection_(selection) {}

    void defined(const clang::IdentifierInfo& name, const clang::MacroInfo& macro);
    void undefined(const clang::IdentifierInfo& name, const clang::MacroInfo* macro, clang::SourceLocation where);

private:
    bool kept(const clang::IdentifierInfo& name, const clang::MacroInfo* macro) const;
    // Writes the definition at `where`, after the definitions it needs
    // that are not written yet.
    void keep(const clang::IdentifierInfo& name, const clang::MacroInfo& macro, clang::SourceLocation where);
    void keep_used_macros(const clang::MacroInfo& macro, clang::SourceLocation where);

    clang::Preprocessor& preprocessor_;
    TokenPrinter& printer_;
    const MacroSelection& selection_;
    // Names that a kept definition uses.
    std::unordered_set<const clang::IdentifierInfo*> needed_;
    // The definition written last for each name.
    std::unordered_map<const clang::IdentifierInfo*, const clang::MacroInfo*> written_;
};

}  // namespace full_prepro
