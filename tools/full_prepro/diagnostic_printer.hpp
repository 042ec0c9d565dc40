// clang's warnings and errors in the program's message form; notes and
// remarks are dropped.
#pragma once

#include <clang/Basic/Diagnostic.h>

#include "messages.hpp"

namespace full_prepro {

class DiagnosticPrinter : public clang::DiagnosticConsumer {
public:
    explicit DiagnosticPrinter(Messages& messages) : messages_(messages) {}

    void HandleDiagnostic(clang::DiagnosticsEngine::Level level, const clang::Diagnostic& diagnostic) override;

private:
    Messages& messages_;
};

}  // namespace full_prepro
