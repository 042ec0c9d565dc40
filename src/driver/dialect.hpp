// Compiler dialects: the family of C the analysed code is written in.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// The lexer's twelve keyword tables.
enum class KeywordTable { ANSI, KR78, SUN, HP_ANSI, HP, MCC, MCC_STD, GNU, MSC15, MSC, IAR, C99 };

struct DialectState {
    std::string name;  // lower case; empty before the first selection
    int code = 0;
    KeywordTable keywords = KeywordTable::ANSI;
    bool ansi_preprocessing = false;
    bool gnu_extensions = false;
    bool dos_paths = false;
    bool dollar_in_identifiers = false;

    bool selected() const { return !name.empty(); }
    // The name as it appears in the options and ignore file names.
    std::string file_stem() const;
    // '@' response files: GNU and most Microsoft dialects; '+' only GNU.
    bool accepts_at_response_files() const;
    bool accepts_plus_response_files() const;
    // The GNU dialects read the command line as gcc reads it.
    bool gcc_command_line() const { return code == 8 || code == 9; }
};

// Sets the dialect from its name (case-insensitive). An unknown name gives
// the warning " unknown dialect <name> : Ansi is assumed" and ANSI. Switches
// are only ever turned on by a selection.
void select_dialect(DialectState& dialect, std::string_view name);

}  // namespace qor
