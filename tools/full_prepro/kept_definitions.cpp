#include "kept_definitions.hpp"

#include <string>

#include "source_files.hpp"

namespace full_prepro {

namespace {

// The directive as it would be written: parameters, then the body tokens
// with their blanks.
std::string definition_text(clang::Preprocessor& preprocessor, const clang::IdentifierInfo& name,
                            const clang::MacroInfo& macro) {
    std::string text = "#define " + name.getName().str();
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
        text += preprocessor.getSpelling(token);
    }
    return text;
}

}  // namespace

bool KeptDefinitions::kept(const clang::IdentifierInfo& name, const clang::MacroInfo* macro) const {
    return !selection_.expanded(name, macro) || needed_.contains(&name);
}

void KeptDefinitions::defined(const clang::IdentifierInfo& name, const clang::MacroInfo& macro) {
    clang::SourceLocation where = macro.getDefinitionLoc();
    if (kept(name, &macro) && in_source_file(preprocessor_.getSourceManager(), where)) keep(name, macro, where);
}

void KeptDefinitions::undefined(const clang::IdentifierInfo& name, const clang::MacroInfo* macro,
                                clang::SourceLocation where) {
    if (!kept(name, macro) || !in_source_file(preprocessor_.getSourceManager(), where)) return;
    written_.erase(&name);
    printer_.print_directive(where, "#undef " + name.getName().str());
}

void KeptDefinitions::keep(const clang::IdentifierInfo& name, const clang::MacroInfo& macro,
                           clang::SourceLocation where) {
    written_[&name] = &macro;
    keep_used_macros(macro, where);
    printer_.print_directive(where, definition_text(preprocessor_, name, macro));
}

void KeptDefinitions::keep_used_macros(const clang::MacroInfo& macro, clang::SourceLocation where) {
    const clang::SourceManager& sources = preprocessor_.getSourceManager();
    for (const clang::Token& token : macro.tokens()) {
        const clang::IdentifierInfo* used = token.getIdentifierInfo();
        if (!used || macro.getParameterNum(used) >= 0) continue;
        needed_.insert(used);
        // An unexpanded macro is written at its own place anyway.
        const clang::MacroInfo* definition = preprocessor_.getMacroInfo(used);
        if (!definition || definition->isBuiltinMacro() || !selection_.expanded(*used, definition)) continue;
        auto written = written_.find(used);
        if ((written == written_.end() || written->second != definition) &&
            in_source_file(sources, definition->getDefinitionLoc()))
            keep(*used, *definition, where);
    }
}

}  // namespace full_prepro
