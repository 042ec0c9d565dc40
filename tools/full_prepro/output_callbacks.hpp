// What clang reports while it preprocesses, turned into output: line
// markers and include markers at file changes, macro markers at uses, the
// #pragma lines, and the #define and #undef lines of the macros that are
// left unexpanded. The files of the predefines buffer's #include lines
// (-include, -imacros) come before the source's text, and get their markers
// as headers do; clang reads an -imacros file without returning its tokens,
// so its uses get no macro marker. The data of an #embed line is written
// on that line.
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
    // `reads_embed`: the compiler reads #embed; else nothing of an #embed
    // line is written (its error is the diagnostics').
    OutputCallbacks(clang::Preprocessor& preprocessor, TextOutput& out, TokenPrinter& printer,
                    ExpansionMarkers& markers, MacroSelection& selection, KeptDefinitions& definitions,
                    bool reads_embed)
        : preprocessor_(preprocessor),
          out_(out),
          printer_(printer),
          markers_(markers),
          selection_(selection),
          definitions_(definitions),
          reads_embed_(reads_embed) {}

    void FileChanged(clang::SourceLocation location, FileChangeReason reason, clang::SrcMgr::CharacteristicKind,
                     clang::FileID previous) override;
    void InclusionDirective(clang::SourceLocation, const clang::Token& directive, llvm::StringRef, bool,
                            clang::CharSourceRange, clang::OptionalFileEntryRef, llvm::StringRef, llvm::StringRef,
                            const clang::Module*, bool, clang::SrcMgr::CharacteristicKind) override;
    void MacroExpands(const clang::Token& name, const clang::MacroDefinition& definition, clang::SourceRange range,
                      const clang::MacroArgs*) override;
    void MacroDefined(const clang::Token& name, const clang::MacroDirective* directive) override;
    void MacroUndefined(const clang::Token& name, const clang::MacroDefinition& definition,
                        const clang::MacroDirective*) override;
    bool EmbedFileNotFound(llvm::StringRef) override { return !reads_embed_; }
    void EmbedDirective(clang::SourceLocation hash, llvm::StringRef, bool, clang::OptionalFileEntryRef,
                        const clang::LexEmbedParametersResult&) override;
    void PragmaDirective(clang::SourceLocation location, clang::PragmaIntroducerKind introducer) override;
    void Ident(clang::SourceLocation location, llvm::StringRef text) override;

private:
    void enter_header();
    void leave_header();

    clang::Preprocessor& preprocessor_;
    TextOutput& out_;
    TokenPrinter& printer_;
    ExpansionMarkers& markers_;
    MacroSelection& selection_;
    KeptDefinitions& definitions_;
    bool reads_embed_;
    bool main_file_entered_ = false;
    // A header entered from the predefines buffer makes the source's line
    // marker due again where its text starts.
    bool header_entered_ = false;
    // Whether the file entered next is read for its macros only, and how
    // deep the files so read (with those they include) are open.
    bool next_macros_only_ = false;
    unsigned macros_only_depth_ = 0;
};

}  // namespace full_prepro
