// Compiler dialects: the family of C the analysed code is written in. The
// table of dialect names is shared by qor_cc and full_prepro.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// The lexer's twelve keyword tables.
enum class KeywordTable { ANSI, KR78, SUN, HP_ANSI, HP, MCC, MCC_STD, GNU, MSC15, MSC, IAR, C99 };

// A dialect's number; several names share one.
enum DialectCode : int {
    DIALECT_NONE = 0,
    DIALECT_ANSI = 1,
    DIALECT_KR78 = 2,
    DIALECT_SUN = 3,
    DIALECT_HP_ANSI = 4,
    DIALECT_HP = 5,
    DIALECT_MCC = 6,
    DIALECT_MCC_STD = 7,
    DIALECT_GNU = 8,
    DIALECT_GNU_D950 = 9,
    DIALECT_MSC15 = 10,
    DIALECT_MSC20 = 11,
    DIALECT_MSC50 = 12,
    DIALECT_MSC60 = 13,
    DIALECT_MSC70 = 14,
    DIALECT_IAR = 15,
    DIALECT_DIAB = 16,
    DIALECT_C99 = 17,
};

// One name of a dialect and what it selects.
struct DialectRow {
    std::string_view name;  // upper case
    DialectCode code;
    KeywordTable keywords;
    bool ansi;  // ANSI preprocessing (trigraphs, hidden macro names)
    bool gnu;   // GNU extensions
    bool dos;   // '\' separates directories in include names
};

// The row of a name (case-insensitive); null when the name is unknown.
const DialectRow* find_dialect(std::string_view name);
// The row an unknown name falls back to.
const DialectRow& default_dialect();

struct DialectState {
    std::string name;  // lower case; empty before the first selection
    DialectCode code = DIALECT_NONE;
    KeywordTable keywords = KeywordTable::ANSI;
    bool ansi_preprocessing = false;
    bool gnu_extensions = false;
    bool dos_paths = false;
    bool dollar_in_identifiers = false;

    bool selected() const { return !name.empty(); }
    // The name as it appears in the options and ignore file names.
    std::string file_stem() const;
    // GNU, GNU_RHEL_3, GNU_RHEL_4 and GNU_D950.
    bool gnu_family() const { return code == DIALECT_GNU || code == DIALECT_GNU_D950; }
    // MCC and MCC_STD, where "#pragma asm" opens an assembly block.
    bool mcc_family() const { return code == DIALECT_MCC || code == DIALECT_MCC_STD; }
    // '@' response files: GNU and most Microsoft dialects; '+' only GNU.
    bool accepts_at_response_files() const;
    bool accepts_plus_response_files() const { return gnu_family(); }
    // The GNU dialects read the command line as gcc reads it.
    bool gcc_command_line() const { return gnu_family(); }
};

// Sets the dialect from its name (case-insensitive). An unknown name gives
// the warning " unknown dialect <name> : Ansi is assumed" and ANSI. Switches
// are only ever turned on by a selection.
void select_dialect(DialectState& dialect, std::string_view name);

}  // namespace qor
