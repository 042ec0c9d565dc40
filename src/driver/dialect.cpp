#include "driver/dialect.hpp"

#include <array>

#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"

namespace qor {

namespace {

struct DialectRow {
    std::string_view name;
    int code;
    KeywordTable keywords;
    bool ansi;
    bool gnu;
    bool dos;
};

using K = KeywordTable;

// In the order the names are tested.
constexpr std::array kDialects = {
    DialectRow{"ANSI", 1, K::ANSI, true, false, false},
    DialectRow{"C99", 17, K::C99, true, false, false},
    DialectRow{"KR78", 2, K::KR78, false, false, false},
    DialectRow{"SUN", 3, K::SUN, true, false, false},
    DialectRow{"HP_ANSI", 4, K::HP_ANSI, true, false, false},
    DialectRow{"HP", 5, K::HP, false, false, false},
    DialectRow{"MCC", 6, K::MCC, true, false, false},
    DialectRow{"MCC_STD", 7, K::MCC_STD, false, false, false},
    DialectRow{"GNU", 8, K::GNU, true, true, false},
    DialectRow{"GNU_RHEL_3", 8, K::GNU, true, true, false},
    DialectRow{"GNU_RHEL_4", 8, K::GNU, true, true, false},
    DialectRow{"GNU_D950", 9, K::GNU, true, true, false},
    DialectRow{"DIAB", 16, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_70", 14, K::MSC, true, false, true},
    DialectRow{"MSC70", 14, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_60", 13, K::MSC, true, false, true},
    DialectRow{"MSC60", 13, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_50", 12, K::MSC, true, false, true},
    DialectRow{"MSC50", 12, K::MSC, true, false, true},
    DialectRow{"MSC1100", 12, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_20", 11, K::MSC, true, false, true},
    DialectRow{"MSC0900", 11, K::MSC, true, false, true},
    DialectRow{"MSC40", 11, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_15", 10, K::MSC15, true, false, true},
    DialectRow{"MSC0800", 10, K::MSC15, true, false, true},
    DialectRow{"MSC15", 10, K::MSC15, true, false, true},
    DialectRow{"IAR", 15, K::IAR, true, false, false},
};

}  // namespace

std::string DialectState::file_stem() const { return to_upper(name); }

bool DialectState::accepts_at_response_files() const {
    return code == 8 || code == 9 || (code >= 11 && code <= 14);
}

bool DialectState::accepts_plus_response_files() const { return code == 8 || code == 9; }

void select_dialect(DialectState& dialect, std::string_view name) {
    const DialectRow* row = nullptr;
    for (const auto& candidate : kDialects) {
        if (iequals(candidate.name, name)) {
            row = &candidate;
            break;
        }
    }
    std::string new_name = to_lower(name);
    if (!row) {
        report_message(MSG_WARNING, " unknown dialect " + std::string(name) + " : Ansi is assumed");
        row = &kDialects[0];
        new_name = "ansi";
    }
    dialect.code = row->code;
    dialect.keywords = row->keywords;
    dialect.ansi_preprocessing = dialect.ansi_preprocessing || row->ansi;
    dialect.gnu_extensions = dialect.gnu_extensions || row->gnu;
    dialect.dos_paths = dialect.dos_paths || row->dos;
    dialect.dollar_in_identifiers = true;
    dialect.name = std::move(new_name);
}

}  // namespace qor
