#include "output_callbacks.hpp"

#include <clang/Lex/Lexer.h>
#include <clang/Lex/MacroInfo.h>

#include "marker_text.hpp"
#include "pragma_text.hpp"
#include "source_files.hpp"

namespace full_prepro {

void OutputCallbacks::FileChanged(clang::SourceLocation location, FileChangeReason reason,
                                  clang::SrcMgr::CharacteristicKind kind, clang::FileID previous) {
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    clang::PresumedLoc presumed = sources.getPresumedLoc(location);
    bool into_source = in_source_file(sources, location);
    if (reason == EnterFile && into_source && main_file_entered_) enter_header();
    if (reason == ExitFile && is_source_file(sources, previous)) leave_header();
    // The predefines buffer writes nothing; its end starts the source's text.
    bool relevant = into_source;
    if (reason == ExitFile)
        relevant &= is_source_file(sources, previous) ||
                    (previous == preprocessor_.getPredefinesFileID() && header_entered_);
    if (presumed.isInvalid() || !relevant || reason == SystemHeaderPragma) return;
    markers_.close();
    std::string_view name = shown_name(sources, location, presumed);
    if (reason == EnterFile) {
        // The first file entered is the source itself.
        if (main_file_entered_) out_.write_line(include_marker(name));
        main_file_entered_ = true;
    }
    out_.line_marker(presumed.getLine(), name, clang::SrcMgr::isSystem(kind));
}

void OutputCallbacks::enter_header() {
    header_entered_ = true;
    if (next_macros_only_ || macros_only_depth_ > 0) ++macros_only_depth_;
}

void OutputCallbacks::leave_header() {
    if (macros_only_depth_ > 0) --macros_only_depth_;
}

void OutputCallbacks::InclusionDirective(clang::SourceLocation, const clang::Token& directive, llvm::StringRef, bool,
                                         clang::CharSourceRange, clang::OptionalFileEntryRef, llvm::StringRef,
                                         llvm::StringRef, const clang::Module*, bool,
                                         clang::SrcMgr::CharacteristicKind) {
    // Every file but the source is entered right after its directive.
    next_macros_only_ = directive.getIdentifierInfo()->getPPKeywordID() == clang::tok::pp___include_macros;
}

void OutputCallbacks::MacroExpands(const clang::Token& name, const clang::MacroDefinition& definition,
                                   clang::SourceRange range, const clang::MacroArgs*) {
    if (macros_only_depth_ > 0) return;
    if (const clang::MacroInfo* macro = definition.getMacroInfo()) markers_.macro_expands(name, *macro, range);
}

void OutputCallbacks::MacroDefined(const clang::Token& name, const clang::MacroDirective* directive) {
    clang::IdentifierInfo& identifier = *name.getIdentifierInfo();
    const clang::MacroInfo& macro = *directive->getMacroInfo();
    selection_.defined(identifier, macro);
    // A directive line ends the open expansion.
    markers_.close();
    definitions_.defined(identifier, macro);
}

void OutputCallbacks::MacroUndefined(const clang::Token& name, const clang::MacroDefinition& definition,
                                     const clang::MacroDirective*) {
    markers_.close();
    definitions_.undefined(*name.getIdentifierInfo(), definition.getMacroInfo(), name.getLocation());
}

void OutputCallbacks::EmbedDirective(clang::SourceLocation hash, llvm::StringRef, bool, clang::OptionalFileEntryRef,
                                     const clang::LexEmbedParametersResult&) {
    // The lexer of the directive's file (a clang::Lexer, as every file's
    // lexer) stands at the directive's end.
    auto* lexer = static_cast<clang::Lexer*>(preprocessor_.getCurrentLexer());
    clang::SourceLocation end = lexer ? lexer->getSourceLocation() : hash;
    if (!reads_embed_) return printer_.hide_embedded(end);
    // The directive line ends the open expansion; the tokens it gives (the
    // data, its prefix and suffix, or its if_empty tokens) follow on it.
    markers_.close();
    printer_.start_embedded(hash, end);
}

void OutputCallbacks::PragmaDirective(clang::SourceLocation location, clang::PragmaIntroducerKind introducer) {
    // A #pragma line ends the open expansion; a _Pragma may be part of it.
    if (introducer == clang::PIK_HashPragma) markers_.close();
    if (auto line = pragma_line(preprocessor_, location, introducer)) printer_.print_directive(location, *line);
}

void OutputCallbacks::Ident(clang::SourceLocation location, llvm::StringRef text) {
    markers_.close();
    printer_.print_directive(location, "#ident " + text.str());
}

}  // namespace full_prepro
