// Expansion of the macros of the table: argument collection, substitution
// and the guards against endless expansion.
#include <algorithm>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "preprocessor/preprocessor.hpp"

namespace qor {

namespace {

constexpr int kMaxExpansionDepth = 1000;
constexpr size_t kMaxArguments = 125;
constexpr size_t kArgumentWorkArea = 32768;
constexpr size_t kExpansionTextSize = 8191;

// An argument as a string literal: quotes not already escaped get a
// backslash, a newline with the blanks after it becomes one blank.
std::string stringized(const std::string& argument) {
    std::string text;
    for (size_t i = 0; i < argument.size(); ++i) {
        char c = argument[i];
        if ((c == '"' || c == '\'') && (i == 0 || argument[i - 1] != '\\')) text += '\\';
        if (c == '\n') {
            while (i + 1 < argument.size() && is_line_blank(argument[i + 1])) ++i;
            c = ' ';
        }
        text += c;
    }
    return text + '"';
}

}  // namespace

bool Preprocessor::guarded(const std::string& name) const {
    if (!dialect_.ansi_preprocessing || !word_hidden_) return false;
    return std::find(word_hidden_->begin(), word_hidden_->end(), name) != word_hidden_->end();
}

bool Preprocessor::would_expand(const std::string& name) {
    const Macro* macro = macros_.find(name);
    if (!macro || guarded(name)) return false;
    if (!dialect_.ansi_preprocessing || macro->param_count < 1) return true;
    std::string skipped;
    int c = read_char();
    for (; is_line_blank(c) || c == '\n'; c = read_char()) skipped += static_cast<char>(c);
    unread_char(c);
    unread_text(skipped);
    return c == '(';
}

std::optional<MacroUse> Preprocessor::start_expansion(const std::string& name) {
    const Macro* macro = macros_.find(name);
    if (!macro || guarded(name)) return std::nullopt;
    HideSet outer = word_hidden_;
    if (++expansion_depth_ >= kMaxExpansionDepth) {
        report(MSG_ERROR, "recursive macro definition of \"" + name + "\"");
        inputs_.discard_texts();
        expansion_depth_ = 0;
        return std::nullopt;
    }
    if (macro->param_count == kLineMacro) {
        push_expansion(name, std::to_string(current_line()), outer);
        return MacroUse{};
    }
    if (macro->param_count == kFileMacro) {
        push_expansion(name, quoted_file_name(current_file()), outer);
        return MacroUse{};
    }
    if (macro->param_count < kObjectLike) report(MSG_FATAL, "illegal __ macro \"" + name + "\"");
    if (!macro->function_like()) {
        push_expansion(name, substitute(name, *macro, {}), outer);
        return MacroUse{};
    }

    std::string skipped;
    int c = read_char();
    for (; is_line_blank(c) || c == '\n'; c = read_char()) {
        skipped += static_cast<char>(c);
        if (c == '\n') inputs_.set_file_changed();
    }
    if (c != '(') {
        unread_char(c);
        if (dialect_.ansi_preprocessing) {
            // Not a use: what was read stays for the reader, newlines included.
            unread_text(skipped);
            --expansion_depth_;
            return std::nullopt;
        }
        report(MSG_WARNING, "macro \"" + name + "\" needs arguments");
        return MacroUse{true, {}};
    }
    auto arguments = collect_arguments();
    if (!arguments) return std::nullopt;
    if (static_cast<int>(arguments->size()) != macro->param_count)
        report(MSG_WARNING, "wrong number of macro arguments for \"" + name + "\"");
    push_expansion(name, substitute(name, *macro, *arguments), outer);
    return MacroUse{true, std::move(*arguments)};
}

// The arguments after the opening parenthesis, up to the closing one.
std::optional<std::vector<std::string>> Preprocessor::collect_arguments() {
    std::vector<std::string> arguments;
    std::string current;
    size_t work_area = 0;
    bool separated = false;
    auto finish_argument = [&] {
        while (!current.empty() && is_line_blank(static_cast<unsigned char>(current.back()))) current.pop_back();
        if (arguments.size() >= kMaxArguments) report(MSG_FATAL, "too many arguments in macro expansion");
        work_area += current.size() + 1;
        if (work_area > kArgumentWorkArea) report(MSG_FATAL, "macro work area overflow");
        arguments.push_back(std::move(current));
        current.clear();
    };
    for (int depth = 0;;) {
        int c = read_char();
        if (c == kEndOfInput) {
            report(MSG_ERROR, "end of file within macro argument");
            return std::nullopt;
        }
        if (c == '\n') {
            inputs_.set_file_changed();
            continue;
        }
        if (c == '\t') continue;
        if (c == '"' || c == '\'') {
            copy_literal(c, current);
            continue;
        }
        if (c == '\\') {
            current += static_cast<char>(c);
            int next = read_char();
            if (next != kEndOfInput) current += static_cast<char>(next);
            continue;
        }
        if (c == ')' && depth == 0) {
            if (separated || !current.empty()) finish_argument();
            return arguments;
        }
        if (c == ',' && depth == 0) {
            finish_argument();
            separated = true;
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (!current.empty() || !is_line_blank(c)) current += static_cast<char>(c);
    }
}

// A quoted literal copied whole into an argument.
void Preprocessor::copy_literal(int quote, std::string& argument) {
    set_in_literal(true);
    argument += static_cast<char>(quote);
    for (;;) {
        int c = read_char();
        if (c == '\n' || c == kEndOfInput) {
            unread_char(c);
            report(MSG_ERROR, "unterminated string");
            break;
        }
        argument += static_cast<char>(c);
        if (c == quote) break;
        if (c == '\\') {
            int next = read_char();
            if (next == kEndOfInput) break;
            argument += static_cast<char>(next);
        }
    }
    set_in_literal(false);
}

std::string Preprocessor::substitute(const std::string& name, const Macro& macro,
                                     const std::vector<std::string>& arguments) {
    const std::vector<BodyPiece>& pieces = macro.body.pieces();
    // A nested ANSI expansion drops the blanks around its body.
    bool trimmed = dialect_.ansi_preprocessing && expansion_depth_ > 1;
    std::string text;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const BodyPiece& piece = pieces[i];
        const std::string* argument = piece.parameter < arguments.size() ? &arguments[piece.parameter] : nullptr;
        switch (piece.kind) {
        case BodyPiece::Kind::Text: {
            std::string_view part = piece.text;
            if (trimmed && i == 0)
                while (!part.empty() && is_line_blank(static_cast<unsigned char>(part.front()))) part.remove_prefix(1);
            if (trimmed && i + 1 == pieces.size())
                while (!part.empty() &&
                       (is_line_blank(static_cast<unsigned char>(part.back())) || part.back() == kTokenSeparator))
                    part.remove_suffix(1);
            text += part;
            break;
        }
        case BodyPiece::Kind::Argument:
            if (argument) text += kArgumentStart + *argument + kArgumentEnd;
            break;
        case BodyPiece::Kind::StringizedArgument:
            text += '"';
            text += argument ? stringized(*argument) : "\"";
            break;
        }
        if (text.size() > kExpansionTextSize) report(MSG_FATAL, "out of space in macro \"" + name + "\" arg expansion");
    }
    return text;
}

void Preprocessor::push_expansion(const std::string& name, std::string text, const HideSet& outer) {
    InputRecord& record = inputs_.push_text(std::move(text));
    record.outer_hidden = outer;
    auto hidden = std::make_shared<std::vector<std::string>>(outer ? *outer : std::vector<std::string>{});
    hidden->push_back(name);
    record.hidden = std::move(hidden);
}

}  // namespace qor
