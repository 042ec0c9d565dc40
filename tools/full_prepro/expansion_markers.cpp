#include "expansion_markers.hpp"

#include <clang/Lex/Lexer.h>

#include "directive_state.hpp"
#include "marker_text.hpp"

namespace full_prepro {

namespace {

// _Pragma and __pragma are operators that clang implements as macros.
bool is_pragma_operator(const clang::Token& name, const clang::MacroInfo& macro) {
    if (!macro.isBuiltinMacro()) return false;
    llvm::StringRef text = name.getIdentifierInfo()->getName();
    return text == "_Pragma" || text == "__pragma";
}

}  // namespace

bool ExpansionMarkers::inside_open_use(clang::SourceLocation location) const {
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    return !sources.isBeforeInTranslationUnit(location, open_->name) &&
           !sources.isBeforeInTranslationUnit(open_->end, location);
}

std::string ExpansionMarkers::written_arguments(const clang::Token& name, clang::SourceRange range) const {
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    clang::CharSourceRange use = sources.getExpansionRange(range);
    bool invalid = false;
    llvm::StringRef text = clang::Lexer::getSourceText(use, sources, preprocessor_.getLangOpts(), &invalid);
    size_t open = text.find('(', name.getLength());
    if (invalid || open == llvm::StringRef::npos) return "()";
    return text.substr(open).str();
}

void ExpansionMarkers::macro_expands(const clang::Token& name, const clang::MacroInfo& macro,
                                     clang::SourceRange range) {
    if (DirectiveState::reading_directive(preprocessor_) || is_pragma_operator(name, macro)) return;
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    clang::SourceLocation location = name.getLocation();
    if (location.isMacroID() || (open_ && inside_open_use(location))) {
        if (open_) {
            clang::SourceLocation end = sources.getExpansionRange(range.getEnd()).getEnd();
            if (sources.isBeforeInTranslationUnit(open_->end, end)) open_->end = end;
        }
        return;
    }
    close();
    std::string arguments = macro.isFunctionLike() ? written_arguments(name, range) : std::string();
    printer_.print_marker_at(name, macro_marker(name.getIdentifierInfo()->getName(), arguments));
    open_ = OpenUse{location, sources.getExpansionRange(range.getEnd()).getEnd()};
}

void ExpansionMarkers::before_token(const clang::Token& token) {
    if (!open_) return;
    clang::SourceLocation location = token.getLocation();
    if (location.isMacroID() && preprocessor_.getSourceManager().getExpansionLoc(location) == open_->name) return;
    close();
}

void ExpansionMarkers::close() {
    if (!open_) return;
    printer_.print_marker(kEndMarker);
    open_.reset();
}

}  // namespace full_prepro
