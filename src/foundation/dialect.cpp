#include "foundation/dialect.hpp"

#include <array>

#include "foundation/text.hpp"

namespace qor {

namespace {

using K = KeywordTable;

// In the order the names are tested.
constexpr std::array kDialects = {
    DialectRow{"ANSI", DIALECT_ANSI, K::ANSI, true, false, false},
    DialectRow{"C99", DIALECT_C99, K::C99, true, false, false},
    DialectRow{"KR78", DIALECT_KR78, K::KR78, false, false, false},
    DialectRow{"SUN", DIALECT_SUN, K::SUN, true, false, false},
    DialectRow{"HP_ANSI", DIALECT_HP_ANSI, K::HP_ANSI, true, false, false},
    DialectRow{"HP", DIALECT_HP, K::HP, false, false, false},
    DialectRow{"MCC", DIALECT_MCC, K::MCC, true, false, false},
    DialectRow{"MCC_STD", DIALECT_MCC_STD, K::MCC_STD, false, false, false},
    DialectRow{"GNU", DIALECT_GNU, K::GNU, true, true, false},
    DialectRow{"GNU_RHEL_3", DIALECT_GNU, K::GNU, true, true, false},
    DialectRow{"GNU_RHEL_4", DIALECT_GNU, K::GNU, true, true, false},
    DialectRow{"GNU_D950", DIALECT_GNU_D950, K::GNU, true, true, false},
    DialectRow{"DIAB", DIALECT_DIAB, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_70", DIALECT_MSC70, K::MSC, true, false, true},
    DialectRow{"MSC70", DIALECT_MSC70, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_60", DIALECT_MSC60, K::MSC, true, false, true},
    DialectRow{"MSC60", DIALECT_MSC60, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_50", DIALECT_MSC50, K::MSC, true, false, true},
    DialectRow{"MSC50", DIALECT_MSC50, K::MSC, true, false, true},
    DialectRow{"MSC1100", DIALECT_MSC50, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_20", DIALECT_MSC20, K::MSC, true, false, true},
    DialectRow{"MSC0900", DIALECT_MSC20, K::MSC, true, false, true},
    DialectRow{"MSC40", DIALECT_MSC20, K::MSC, true, false, true},
    DialectRow{"MICROSOFT_15", DIALECT_MSC15, K::MSC15, true, false, true},
    DialectRow{"MSC0800", DIALECT_MSC15, K::MSC15, true, false, true},
    DialectRow{"MSC15", DIALECT_MSC15, K::MSC15, true, false, true},
    DialectRow{"IAR", DIALECT_IAR, K::IAR, true, false, false},
};

}  // namespace

const DialectRow* find_dialect(std::string_view name) {
    for (const auto& row : kDialects)
        if (iequals(row.name, name)) return &row;
    return nullptr;
}

const DialectRow& default_dialect() { return kDialects[0]; }

std::string DialectState::file_stem() const { return to_upper(name); }

bool DialectState::accepts_at_response_files() const {
    return gnu_family() || (code >= DIALECT_MSC20 && code <= DIALECT_MSC70);
}

}  // namespace qor
