#include "macro_selection.hpp"

#include <cctype>

#include <clang/Lex/HeaderSearch.h>
#include <clang/Lex/MacroInfo.h>

#include "directive_state.hpp"

namespace full_prepro {

void MacroSelection::attach(clang::Preprocessor& preprocessor) {
    preprocessor_ = &preprocessor;
    preprocessor.setExternalSource(this);
    // The include-guard check asks the header search about the guard macro.
    preprocessor.getHeaderSearchInfo().SetExternalLookup(this);
    if (expansion_mode_) {
        for (const std::string& name : listed_) preprocessor.getIdentifierInfo(name)->setOutOfDate(true);
    }
}

bool MacroSelection::expanded(const clang::IdentifierInfo& name, const clang::MacroInfo* macro) const {
    if (macro && macro->isBuiltinMacro()) return true;
    return listed_.contains(name.getName().str()) == !expansion_mode_;
}

void MacroSelection::defined(clang::IdentifierInfo& name, const clang::MacroInfo& macro) {
    if (!expanded(name, &macro)) name.setOutOfDate(true);
}

void MacroSelection::updateOutOfDateIdentifier(const clang::IdentifierInfo& asked) {
    // clang hands the identifier over as const; its table holds the same
    // entry unqualified, whose mark this source sets and clears.
    clang::IdentifierInfo& name = *preprocessor_->getIdentifierInfo(asked.getName());
    // Looking the macro up would ask again while the mark is set.
    name.setOutOfDate(false);
    clang::MacroInfo* macro = preprocessor_->getMacroInfo(&name);
    if (macro && !expanded(name, macro)) {
        if (DirectiveState::reading_directive(*preprocessor_)) {
            if (disabled_.erase(macro)) macro->EnableMacro();
        } else if (macro->isEnabled()) {
            macro->DisableMacro();
            disabled_.insert(macro);
        }
    }
    name.setOutOfDate(true);
}

std::unordered_set<std::string> macro_names(const std::string& text) {
    std::unordered_set<std::string> names;
    std::string word;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            word += c;
        } else if (!word.empty()) {
            names.insert(word);
            word.clear();
        }
    }
    if (!word.empty()) names.insert(word);
    return names;
}

}  // namespace full_prepro
