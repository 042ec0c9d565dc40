#include "output_callbacks.hpp"

#include <clang/Lex/MacroInfo.h>

#include "marker_text.hpp"
#include "pragma_text.hpp"
#include "source_names.hpp"

namespace full_prepro {

bool OutputCallbacks::is_source_file(clang::FileID file) const {
    return file.isValid() && preprocessor_.getSourceManager().getFileEntryForID(file) != nullptr;
}

bool OutputCallbacks::in_source_file(clang::SourceLocation location) const {
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    return is_source_file(sources.getFileID(sources.getExpansionLoc(location)));
}

void OutputCallbacks::FileChanged(clang::SourceLocation location, FileChangeReason reason,
                                  clang::SrcMgr::CharacteristicKind, clang::FileID previous) {
    clang::PresumedLoc presumed = preprocessor_.getSourceManager().getPresumedLoc(location);
    bool relevant = reason == ExitFile ? is_source_file(previous) : in_source_file(location);
    if (presumed.isInvalid() || !relevant || reason == SystemHeaderPragma) return;
    markers_.close();
    std::string_view name = shown_name(preprocessor_.getSourceManager(), location, presumed);
    if (reason == EnterFile) {
        // The first file entered is the source itself.
        if (main_file_entered_) out_.write_line(include_marker(name));
        main_file_entered_ = true;
    }
    out_.line_marker(presumed.getLine(), name);
}

void OutputCallbacks::MacroExpands(const clang::Token& name, const clang::MacroDefinition& definition,
                                   clang::SourceRange range, const clang::MacroArgs*) {
    if (const clang::MacroInfo* macro = definition.getMacroInfo()) markers_.macro_expands(name, *macro, range);
}

void OutputCallbacks::print_definition(const clang::Token& name, const clang::MacroInfo& macro) {
    std::string text = "#define " + name.getIdentifierInfo()->getName().str();
    if (macro.isFunctionLike()) {
        text += '(';
        for (const clang::IdentifierInfo* parameter : macro.params()) {
            if (text.back() != '(') text += ',';
            text += parameter->getName() == "__VA_ARGS__" ? "..." : parameter->getName().str();
        }
        if (macro.isGNUVarargs()) text += "...";
        text += ')';
    }
    if (macro.tokens_empty() || !macro.tokens_begin()->hasLeadingSpace()) text += ' ';
    for (const clang::Token& token : macro.tokens()) {
        if (token.hasLeadingSpace()) text += ' ';
        text += preprocessor_.getSpelling(token);
    }
    printer_.print_directive(macro.getDefinitionLoc(), text);
}

void OutputCallbacks::MacroDefined(const clang::Token& name, const clang::MacroDirective* directive) {
    clang::IdentifierInfo& identifier = *name.getIdentifierInfo();
    const clang::MacroInfo& macro = *directive->getMacroInfo();
    selection_.defined(identifier, macro);
    if (selection_.expanded(identifier, &macro) || !in_source_file(macro.getDefinitionLoc())) return;
    markers_.close();
    print_definition(name, macro);
}

void OutputCallbacks::MacroUndefined(const clang::Token& name, const clang::MacroDefinition& definition,
                                     const clang::MacroDirective*) {
    const clang::IdentifierInfo& identifier = *name.getIdentifierInfo();
    if (selection_.expanded(identifier, definition.getMacroInfo()) || !in_source_file(name.getLocation())) return;
    markers_.close();
    printer_.print_directive(name.getLocation(), "#undef " + identifier.getName().str());
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
