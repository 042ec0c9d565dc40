#include "pragma_text.hpp"

#include <string_view>

#include <clang/Lex/Lexer.h>

namespace full_prepro {

namespace {

// The directive line that starts at `text`, up to its unescaped end of line;
// comments become blanks and a block comment may run over several lines.
std::string directive_line(const char* text, const char* end) {
    std::string line;
    while (text < end && *text != '\n' && *text != '\0') {
        if (text[0] == '\\' && text + 1 < end && (text[1] == '\n' || text[1] == '\r')) {
            text += text[1] == '\r' && text + 2 < end && text[2] == '\n' ? 3 : 2;
        } else if (text[0] == '/' && text + 1 < end && text[1] == '*') {
            std::string_view rest(text + 2, static_cast<size_t>(end - text - 2));
            size_t close = rest.find("*/");
            text = close == std::string_view::npos ? end : text + 2 + close + 2;
            line += ' ';
        } else if (text[0] == '/' && text + 1 < end && text[1] == '/') {
            break;
        } else {
            line += *text == '\r' ? ' ' : *text;
            ++text;
        }
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    return line;
}

// The words of a pragma after "pragma", blanks trimmed.
std::string_view pragma_body(std::string_view line) {
    size_t start = line.find("pragma");
    line.remove_prefix(start == std::string_view::npos ? line.size() : start + 6);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return line;
}

}  // namespace

std::optional<std::string> pragma_line(clang::Preprocessor& preprocessor, clang::SourceLocation location,
                                       clang::PragmaIntroducerKind introducer) {
    std::string line;
    if (introducer == clang::PIK_HashPragma) {
        // The location is that of the '#' in the source file.
        const clang::SourceManager& sources = preprocessor.getSourceManager();
        bool invalid = false;
        const char* text = sources.getCharacterData(location, &invalid);
        llvm::StringRef buffer = sources.getBufferData(sources.getFileID(location), &invalid);
        if (invalid) return std::nullopt;
        line = directive_line(text, buffer.end());
    } else if (introducer == clang::PIK__Pragma && preprocessor.getCurrentLexer()) {
        // clang lexes the destringized text with a lexer of its own, which
        // is a clang::Lexer like every lexer of a plain preprocessor.
        auto* lexer = static_cast<clang::Lexer*>(preprocessor.getCurrentLexer());
        // Its text ends with a line break and a NUL.
        std::string_view text(lexer->getBufferLocation());
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
        line = "#pragma " + directive_line(text.data(), text.data() + text.size());
    } else {
        return std::nullopt;
    }
    std::string_view body = pragma_body(line);
    if (body == "once" || body.starts_with("once ")) return std::nullopt;
    return line;
}

}  // namespace full_prepro
