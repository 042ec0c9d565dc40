// Selecting a dialect by name; apart from the table so that full_prepro,
// which reads the table but has no message channel of qor_cc's, can compile
// the table alone.
#include "foundation/diagnostics.hpp"
#include "foundation/dialect.hpp"
#include "foundation/text.hpp"

namespace qor {

void select_dialect(DialectState& dialect, std::string_view name) {
    const DialectRow* row = find_dialect(name);
    std::string new_name = to_lower(name);
    if (!row) {
        report_message(MSG_WARNING, " unknown dialect " + std::string(name) + " : Ansi is assumed");
        row = &default_dialect();
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
