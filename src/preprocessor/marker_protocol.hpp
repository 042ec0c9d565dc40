// The comment markers full_prepro writes into its output to tell qor_cc's
// lexer about macro uses and included files. A marker is one block comment:
// "/*@QOR #", a command word of five characters whose first letter is the
// command, a blank when a payload follows, the payload, "*/".
#pragma once

#include <string>
#include <string_view>

namespace qor {

// What follows the "/*" of a marker.
inline constexpr std::string_view kMarkerIntroducer = "@QOR #";
inline constexpr std::string_view kMarkerStart = "/*@QOR #";
inline constexpr std::string_view kMarkerEnd = "*/";
static_assert(kMarkerStart.substr(2) == kMarkerIntroducer);

// A marker's first letter.
enum class MarkerCommand : char {
    ExpansionStart = 'e',   // an expansion opens, with no use to record
    ExpansionEnd = 'f',     // the innermost open expansion ends
    Include = 'i',          // payload: the included path, then '"' or '>'
    MacroUse = 'm',         // payload: NAME or NAME(ARGUMENTS); an expansion opens
    ClosingMacroUse = 's',  // as MacroUse, but closes an expansion instead
};

// Letters of commands that the lexer reads and ignores.
inline constexpr std::string_view kIgnoredMarkerCommands = "ghjklnopqr";

// The command words full_prepro writes.
inline constexpr std::string_view kMacroUseWord = "macro";
inline constexpr std::string_view kExpansionEndWord = "f_end";
inline constexpr std::string_view kIncludeWord = "incl:";
static_assert(kMacroUseWord[0] == static_cast<char>(MarkerCommand::MacroUse));
static_assert(kExpansionEndWord[0] == static_cast<char>(MarkerCommand::ExpansionEnd));
static_assert(kIncludeWord[0] == static_cast<char>(MarkerCommand::Include));

// Where the payload starts in the text after the introducer: after the
// command word and its blank.
inline constexpr size_t kMarkerPayloadOffset = kMacroUseWord.size() + 1;

// "/*@QOR #WORD PAYLOAD*/".
inline std::string marker_comment(std::string_view word, std::string_view payload) {
    std::string text(kMarkerStart);
    text.append(word).append(" ").append(payload).append(kMarkerEnd);
    return text;
}

// The payload of a marker's text after the introducer; empty when the command
// word has no blank after it.
inline std::string marker_payload(const std::string& body) {
    bool has_payload = body.size() > kMarkerPayloadOffset && body[kMarkerPayloadOffset - 1] == ' ';
    return has_payload ? body.substr(kMarkerPayloadOffset) : std::string();
}

}  // namespace qor
