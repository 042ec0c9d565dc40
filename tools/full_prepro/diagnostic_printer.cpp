#include "diagnostic_printer.hpp"

#include <cstring>
#include <string_view>

#include <clang/Basic/CharInfo.h>
#include <clang/Basic/DiagnosticLex.h>
#include <clang/Basic/SourceManager.h>
#include <llvm/ADT/SmallString.h>

#include "source_files.hpp"

namespace full_prepro {

namespace {

// C23's #embed, which this preprocessor does not know: its data would be
// missing from the text, so the directive is named in the message.
bool is_embed_directive(const clang::Diagnostic& diagnostic) {
    if (diagnostic.getID() != clang::diag::err_pp_invalid_directive || !diagnostic.hasSourceManager()) return false;
    const char* name = diagnostic.getSourceManager().getCharacterData(diagnostic.getLocation());
    return std::strncmp(name, "embed", 5) == 0 && !clang::isAsciiIdentifierContinue(name[5]);
}

}  // namespace

void DiagnosticPrinter::HandleDiagnostic(clang::DiagnosticsEngine::Level level, const clang::Diagnostic& diagnostic) {
    clang::DiagnosticConsumer::HandleDiagnostic(level, diagnostic);
    bool error = level >= clang::DiagnosticsEngine::Error;
    if (!error && level != clang::DiagnosticsEngine::Warning) return;
    llvm::SmallString<256> formatted;
    if (is_embed_directive(diagnostic))
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
