#include "preprocessor_session.hpp"

#include <string_view>

#include <clang/Basic/Builtins.h>
#include <clang/Basic/DiagnosticLex.h>
#include <clang/Basic/LangStandard.h>
#include <clang/Basic/TargetOptions.h>
#include <clang/Lex/HeaderSearchOptions.h>
#include <clang/Lex/Pragma.h>
#include <clang/Lex/PreprocessorOptions.h>
#include <llvm/Support/Error.h>

#include "foundation/dialect.hpp"
#include "search_chain.hpp"

namespace full_prepro {

namespace {

// The dialects whose include names may use '\' as a directory separator.
bool uses_dos_paths(std::string_view dialect) {
    const qor::DialectRow* row = qor::find_dialect(dialect);
    return row && row->dos;
}

clang::LangOptions c_language(const Options& options, bool c23) {
    clang::LangOptions language;
    const auto kind = c23 ? clang::LangStandard::lang_gnu23 : clang::LangStandard::lang_gnu11;
    const auto& standard = clang::LangStandard::getLangStandardForKind(kind);
    language.LangStd = kind;
    language.LineComment = standard.hasLineComments();
    language.C99 = standard.isC99();
    language.C11 = standard.isC11();
    language.C17 = standard.isC17();
    language.C23 = standard.isC23();
    language.GNUMode = standard.isGNUMode();
    language.GNUKeywords = standard.isGNUMode();
    language.Digraphs = standard.hasDigraphs();
    language.HexFloats = standard.hasHexFloats();
    language.Trigraphs = options.trigraphs;
    language.DollarIdents = options.dollar_in_identifiers;
    // clang turns '\' into '/' in include names on this platform only with
    // the Microsoft extensions.
    language.MicrosoftExt = uses_dos_paths(options.dialect);
    return language;
}

// "#pragma clang __debug crash" and its siblings would end the program.
void remove_debug_pragmas(clang::Preprocessor& preprocessor) {
    clang::EmptyPragmaHandler same_name("__debug");
    preprocessor.RemovePragmaHandler("clang", &same_name);
}

void undefine(clang::Preprocessor& preprocessor, llvm::StringRef name) {
    preprocessor.appendMacroDirective(preprocessor.getIdentifierInfo(name),
                                      new (preprocessor.getPreprocessorAllocator()) clang::UndefMacroDirective({}));
}

}  // namespace

PreprocessorSession::PreprocessorSession(const Options& options, Messages& messages, bool c23, bool embed)
    : diagnostic_printer_(messages),
      diagnostics_(new clang::DiagnosticsEngine(new clang::DiagnosticIDs, new clang::DiagnosticOptions,
                                                &diagnostic_printer_, false)),
      language_(c_language(options, c23)) {
    // A missing include is an error after which preprocessing goes on.
    diagnostics_->setFatalsAsError(true);
    diagnostics_->setSuppressSystemWarnings(true);
    // Every trigraph of a dialect that asks for them would be reported.
    if (options.trigraphs)
        diagnostics_->setSeverityForGroup(clang::diag::Flavor::WarningOrError, "trigraphs",
                                          clang::diag::Severity::Ignored);
    // Pragmas are the compiler's to judge: a warning group that only gcc
    // knows ("#pragma GCC diagnostic ignored \"-Wmaybe-uninitialized\""),
    // or a pragma of another compiler, is no fault of the text.
    for (const char* group : {"unknown-warning-option", "unknown-pragmas", "ignored-pragmas"})
        diagnostics_->setSeverityForGroup(clang::diag::Flavor::WarningOrError, group, clang::diag::Severity::Ignored);
    // C23's directives (#elifdef, #elifndef, and #embed where the compiler
    // has it) are read in every mode without a word: whether the dialect
    // has them is the compiler's to say.
    diagnostics_->setSeverity(clang::diag::ext_c23_pp_directive, clang::diag::Severity::Ignored, {});
    for (clang::diag::kind directive : kEmbedDirectiveNotes)
        diagnostics_->setSeverity(directive, embed ? clang::diag::Severity::Ignored : clang::diag::Severity::Error, {});

    auto target_options = std::make_shared<clang::TargetOptions>();
    target_options->Triple = "x86_64-pc-linux-gnu";
    target_ = clang::TargetInfo::CreateTargetInfo(*diagnostics_, target_options);
    target_->adjust(*diagnostics_, language_);

    files_ = new clang::FileManager(clang::FileSystemOptions());
    sources_ = new clang::SourceManager(*diagnostics_, *files_);
    headers_ = std::make_unique<clang::HeaderSearch>(std::make_shared<clang::HeaderSearchOptions>(), *sources_,
                                                     *diagnostics_, language_, target_.get());
    auto preprocessor_options = std::make_shared<clang::PreprocessorOptions>();
    preprocessor_options->EmbedEntries = options.embed_directories;
    preprocessor_ = std::make_unique<clang::Preprocessor>(preprocessor_options, *diagnostics_, language_, *sources_,
                                                          *headers_, module_loader_);
    preprocessor_->Initialize(*target_);
    // __has_builtin answers from clang's table of builtins.
    preprocessor_->getBuiltinInfo().initializeBuiltins(preprocessor_->getIdentifierTable(), language_);
    preprocessor_->SetCommentRetentionState(true, false);
    remove_debug_pragmas(*preprocessor_);
    if (!embed) undefine(*preprocessor_, "__has_embed");
}

void PreprocessorSession::set_include_directories(const SearchDirectories& directories,
                                                  const std::vector<std::string>& standard) {
    SearchChain chain = search_chain(*files_, directories, standard);
    headers_->SetSearchPaths(std::move(chain.lookups), chain.first_angled, chain.first_system,
                             llvm::DenseMap<unsigned, unsigned>());
}

bool PreprocessorSession::open_source(const std::string& path, Messages& messages) {
    llvm::Expected<clang::FileEntryRef> file = files_->getFileRef(path, true);
    if (!file) {
        messages.error("cannot open source file \"" + path + "\": " + llvm::toString(file.takeError()));
        return false;
    }
    sources_->setMainFileID(sources_->createFileID(*file, clang::SourceLocation(), clang::SrcMgr::C_User));
    return true;
}

void PreprocessorSession::drop_builtin_macros(const std::vector<FileMacro>& macros) {
    for (const FileMacro& macro : macros) {
        const clang::MacroInfo* defined = preprocessor_->getMacroInfo(preprocessor_->getIdentifierInfo(macro.name));
        if (defined && defined->isBuiltinMacro()) undefine(*preprocessor_, macro.name);
    }
}

}  // namespace full_prepro
