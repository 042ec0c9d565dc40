// Selective expansion by the macro-name file: in expansion mode the listed
// macros are not expanded, in no-expansion mode only the listed ones are.
// A macro left unexpanded stays in the text as written, but keeps its
// meaning in directives: #if, #include MACRO and the like still expand it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include <clang/Lex/ExternalPreprocessorSource.h>
#include <clang/Lex/Preprocessor.h>

namespace full_prepro {

// clang asks an external source about every identifier marked out of date
// before it decides on its expansion; this source answers by disabling the
// macro outside directives and enabling it again inside them.
class MacroSelection : public clang::ExternalPreprocessorSource {
public:
    MacroSelection(bool expansion_mode, std::unordered_set<std::string> listed)
        : expansion_mode_(expansion_mode), listed_(std::move(listed)) {}

    // Installs the source on `preprocessor`; each keeps a pointer to the
    // other for the whole run.
    void attach(clang::Preprocessor& preprocessor);
    // Whether uses of this macro (null for a name without definition) in
    // the text are expanded. The built-in macros (__LINE__, __FILE__,
    // _Pragma ...) are part of the language and always are.
    bool expanded(const clang::IdentifierInfo& name, const clang::MacroInfo* macro) const;
    // Called for every definition, so that a macro that is not expanded is
    // brought to this source whatever its name.
    void defined(clang::IdentifierInfo& name, const clang::MacroInfo& macro);

    void updateOutOfDateIdentifier(const clang::IdentifierInfo& name) override;
    void ReadDefinedMacros() override {}
    clang::IdentifierInfo* GetIdentifier(uint64_t) override { return nullptr; }
    clang::Module* getModule(unsigned) override { return nullptr; }

private:
    bool expansion_mode_;
    std::unordered_set<std::string> listed_;
    clang::Preprocessor* preprocessor_ = nullptr;
    // The macros that this source disabled; clang disables a macro during
    // its own expansion too, and that state must stay as clang set it.
    std::unordered_set<const clang::MacroInfo*> disabled_;
};

// The names of a macro-name file: every white-space separated word.
std::unordered_set<std::string> macro_names(const std::string& text);

}  // namespace full_prepro
