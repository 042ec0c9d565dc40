#include "diagnostic_printer.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

#include <clang/Basic/SourceManager.h>
#include <llvm/ADT/SmallString.h>

#include "source_files.hpp"

namespace full_prepro {

void DiagnosticPrinter::HandleDiagnostic(clang::DiagnosticsEngine::Level level, const clang::Diagnostic& diagnostic) {
    clang::DiagnosticConsumer::HandleDiagnostic(level, diagnostic);
    bool error = level >= clang::DiagnosticsEngine::Error;
    if (!error && level != clang::DiagnosticsEngine::Warning) return;
    llvm::SmallString<256> formatted;
    if (std::ranges::find(kEmbedDirectiveNotes, diagnostic.getID()) != std::end(kEmbedDirectiveNotes))
        formatted = "#embed is not supported";
    else
        diagnostic.FormatDiagnostic(formatted);
    std::string_view text = formatted.str();
    clang::PresumedLoc position;
    if (diagnostic.hasSourceManager() && diagnostic.getLocation().isValid())
        position = diagnostic.getSourceManager().getPresumedLoc(diagnostic.getLocation());
    if (position.isInvalid()) {
        if (error)
            messages_.error(text);
        else
            messages_.warning(text);
        return;
    }
    std::string_view file = shown_name(diagnostic.getSourceManager(), diagnostic.getLocation(), position);
    if (error)
        messages_.error(file, position.getLine(), text);
    else
        messages_.warning(file, position.getLine(), text);
}

}  // namespace full_prepro
