#include "run.hpp"

#include <cstdio>
#include <unordered_set>

#include "definitions_file.hpp"
#include "expansion_markers.hpp"
#include "kept_definitions.hpp"
#include "macro_selection.hpp"
#include "output_callbacks.hpp"
#include "predefines.hpp"
#include "preprocessor_session.hpp"
#include "text_file.hpp"
#include "text_output.hpp"
#include "token_printer.hpp"

namespace full_prepro {

namespace {

std::unordered_set<std::string> listed_macros(const Options& options, Messages& messages) {
    if (!options.macro_name_file) return {};
    std::optional<std::string> text = read_text_file(*options.macro_name_file);
    if (text) return macro_names(*text);
    messages.error("Inaccessible '" + *options.macro_name_file + "' file.");
    return {};
}

void print_tokens(clang::Preprocessor& preprocessor, TokenPrinter& printer, ExpansionMarkers& markers) {
    for (clang::Token token;;) {
        preprocessor.Lex(token);
        if (token.is(clang::tok::eof)) break;
        // Of the annotation tokens, only #embed's data is text.
        if ((token.isAnnotation() && token.isNot(clang::tok::annot_embed)) || printer.hidden(token)) continue;
        markers.before_token(token);
        if (token.is(clang::tok::annot_embed))
            printer.print_embedded(token);
        else
            printer.print(token);
    }
    markers.close();
}

}  // namespace

int run(const Options& options, Messages& messages, std::FILE* output) {
    Definitions file_definitions;
    if (options.definitions_file) read_definitions(*options.definitions_file, file_definitions, messages);
    MacroSelection selection(options.expansion_mode, listed_macros(options, messages));

    bool reads_embed = defines_embed(file_definitions);
    PreprocessorSession session(options, messages, defines_c23(file_definitions), reads_embed);
    // -nostdinc leaves out the compiler's own directories, as -undef its
    // macros (in the predefines).
    if (options.without_file_directories) file_definitions.include_directories.clear();
    if (!options.without_file_macros) session.drop_builtin_macros(file_definitions.macros);
    session.set_include_directories(options.directories, file_definitions.include_directories);
    if (!session.open_source(options.source, messages)) return 1;
    clang::Preprocessor& preprocessor = session.preprocessor();
    preprocessor.setPredefines(predefines_text(options, file_definitions, messages));
    selection.attach(preprocessor);

    TextOutput out(output);
    TokenPrinter printer(preprocessor, out);
    ExpansionMarkers markers(preprocessor, printer);
    KeptDefinitions definitions(preprocessor, printer, selection);
    preprocessor.addPPCallbacks(
        std::make_unique<OutputCallbacks>(preprocessor, out, printer, markers, selection, definitions, reads_embed));
    preprocessor.EnterMainSourceFile();
    print_tokens(preprocessor, printer, markers);
    out.start_new_line_if_needed();
    out.flush();
    if (out.failed()) messages.error("cannot write the preprocessed text");
    preprocessor.EndSourceFile();
    return messages.errors() > 0 ? 1 : 0;
}

}  // namespace full_prepro
