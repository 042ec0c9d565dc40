// clang's warnings and errors in the program's message form; notes and
// remarks are dropped. Where the compiler reads no #embed, the note on an
// #embed line is made an error, which names the directive.
#pragma once

#include <clang/Basic/Diagnostic.h>
#include <clang/Basic/DiagnosticLex.h>

#include "messages.hpp"

namespace full_prepro {

// The notes that clang gives on every #embed line, its first word on it.
inline constexpr clang::diag::kind kEmbedDirectiveNotes[] = {clang::diag::ext_pp_embed_directive,
                                                            clang::diag::warn_compat_pp_embed_directive};

class DiagnosticPrinter : public clang::DiagnosticConsumer {
public:
    explicit DiagnosticPrinter(Messages& messages) : messages_(messages) {}

    void HandleDiagnostic(clang::DiagnosticsEngine::Level level, const clang::Diagnostic& diagnostic) override;

private:
    Messages& messages_;
};

}  // namespace full_prepro
