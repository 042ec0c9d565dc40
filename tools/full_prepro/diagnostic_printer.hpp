// clang's warnings and errors in the program's message form; notes and
// remarks are dropped. Where the compiler reads no #embed, the warning at
// an #embed directive is made an error, which names the directive.
#pragma once

#include <clang/Basic/Diagnostic.h>
#include <clang/Basic/DiagnosticLex.h>

#include "messages.hpp"

namespace full_prepro {

// The warnings that clang gives at the name of every #embed directive (a
// C23 extension, or incompatible with older C), off unless made errors.
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
