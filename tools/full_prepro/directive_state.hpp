// Whether the preprocessor is reading a directive line (#if, #include,
// #pragma, the text of a _Pragma ...). Macro uses there are not part of the
// output text: they get no markers and are always expanded.
#pragma once

#include <clang/Lex/Preprocessor.h>
#include <clang/Lex/PreprocessorLexer.h>

namespace full_prepro {

// clang keeps the state in a protected member of its lexers; a derived
// class may name it, and reads it through a member pointer.
class DirectiveState : clang::PreprocessorLexer {
public:
    static bool reading_directive(const clang::Preprocessor& preprocessor) {
        return in_directive(preprocessor.getCurrentFileLexer()) || in_directive(preprocessor.getCurrentLexer());
    }

private:
    static bool in_directive(const clang::PreprocessorLexer* lexer) {
        return lexer && lexer->*(&DirectiveState::ParsingPreprocessorDirective);
    }
};

}  // namespace full_prepro
