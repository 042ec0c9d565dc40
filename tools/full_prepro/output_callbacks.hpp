// What clang reports while it preprocesses, turned into output: line
// markers and include markers at file changes, macro markers at uses, the
// #pragma lines, and the #define and #undef lines of the macros that are
// left unexpanded.
#pragma once

#include <clang/Lex/PPCallbacks.h>
#include <clang/Lex/Preprocessor.h>

#include "expansion_markers.hpp"
#include "kept_definitions.hpp"
#include "macro_selection.hpp"
#include "text_output.hpp"
#include "token_printer.hpp"

namespace full_prepro {

class OutputCallbacks : public clang::PPCallbacks {
public:
    OutputCallbacks(clang::Preprocessor& preprocessor, TextOutput& out, TokenPrinter& printer,
                    ExpansionMarkers& markers, MacroSelection& selection, KeptDefinitions& definitions)
        : preprocessor_(preprocessor),
          out_(out),
          printer_(printer),
          markers_(markers),
          selection_(selection),
          definitions_(definitions) {}

    void FileChanged(clang::SourceLocation location, FileChangeReason reason, clang::SrcMgr::CharacteristicKind,
                     clang::FileID previous) override;
    void MacroExpands(const clang::Token& name, const clang::MacroDefinition& definition, clang::SourceRange range,
                      const clang::MacroArgs*) override;
    void MacroDefined(const clang::Token& name, const clang::MacroDirective* directive) override;
    void MacroUndefined(const clang::Token& name, const clang::MacroDefinition& definition,
                        const clang::MacroDirective*) override;
    void PragmaDirective(clang::SourceLocation location, clang::PragmaIntroducerKind introducer) override;
    void Ident(clang::SourceLocation location, llvm::StringRef text) override;

private:
    clang::Preprocessor& preprocessor_;
    TextOutput& out_;
    TokenPrinter& printer_;
    ExpansionMarkers& markers_;
    MacroSelection& selection_;
    KeptDefinitions& definitions_;
    bool main_file_entered_ = false;
};

}  // namespace full_prepro
