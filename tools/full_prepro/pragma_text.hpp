// The text of a pragma, to be passed on as a "#pragma" line. clang's own
// pragma handlers consume the tokens, so the text is taken from the source.
#pragma once

#include <optional>
#include <string>

#include <clang/Lex/Pragma.h>
#include <clang/Lex/Preprocessor.h>

namespace full_prepro {

// The "#pragma ..." line for the pragma that clang starts to read at
// `location`: a #pragma line as written (continuations joined, comments
// removed), or the destringized text of a _Pragma operator. Nothing for
// "#pragma once", which has done its work here, and for __pragma.
std::optional<std::string> pragma_line(clang::Preprocessor& preprocessor, clang::SourceLocation location,
                                       clang::PragmaIntroducerKind introducer);

}  // namespace full_prepro
