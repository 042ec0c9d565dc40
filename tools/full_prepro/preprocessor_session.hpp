// The clang objects that preprocess one source file, set up for C as GNU
// C11 on x86-64 Linux, with no predefined macro and no include directory of
// clang's own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <clang/Basic/Diagnostic.h>
#include <clang/Basic/FileManager.h>
#include <clang/Basic/LangOptions.h>
#include <clang/Basic/SourceManager.h>
#include <clang/Basic/TargetInfo.h>
#include <clang/Lex/HeaderSearch.h>
#include <clang/Lex/ModuleLoader.h>
#include <clang/Lex/Preprocessor.h>

#include "definitions_file.hpp"
#include "diagnostic_printer.hpp"
#include "messages.hpp"
#include "options.hpp"

namespace full_prepro {

class PreprocessorSession {
public:
    // `c23`: the text is C23 (the definitions file says so), whose
    // preprocessing tokens hold digit separators (1'000'000). `embed`: the
    // compiler reads #embed; else an #embed line is the error "#embed is
    // not supported" and __has_embed is no macro, as for the compiler.
    PreprocessorSession(const Options& options, Messages& messages, bool c23, bool embed);

    // The command line's directories and the standard ones (the definitions
    // file's) in the compiler's order; the headers of the system directories
    // are system headers (their warnings are not shown).
    void set_include_directories(const SearchDirectories& directories, const std::vector<std::string>& standard);
    // Makes `path` the main file; false (reported) when it cannot be opened.
    bool open_source(const std::string& path, Messages& messages);
    // clang implements a few macros that a compiler's definitions file
    // names as builtins (__FLT_EVAL_METHOD__). The file's definition
    // replaces such a macro as it replaces any other, without the warning
    // that an #undef line of a builtin gives: the builtin goes first.
    void drop_builtin_macros(const std::vector<FileMacro>& macros);

    clang::Preprocessor& preprocessor() { return *preprocessor_; }

private:
    DiagnosticPrinter diagnostic_printer_;
    llvm::IntrusiveRefCntPtr<clang::DiagnosticsEngine> diagnostics_;
    clang::LangOptions language_;
    llvm::IntrusiveRefCntPtr<clang::TargetInfo> target_;
    llvm::IntrusiveRefCntPtr<clang::FileManager> files_;
    llvm::IntrusiveRefCntPtr<clang::SourceManager> sources_;
    std::unique_ptr<clang::HeaderSearch> headers_;
    clang::TrivialModuleLoader module_loader_;
    std::unique_ptr<clang::Preprocessor> preprocessor_;
};

}  // namespace full_prepro
