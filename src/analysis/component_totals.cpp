#include "analysis/component_totals.hpp"

namespace qor {

namespace {

// Metric names, in the order of the enumerators.
constexpr std::array<std::string_view, kTotalCount> kTotalNames = {
    "VG",   "LEVL", "GOTO", "N_OUT", "RETU", "PARA", "LVAR", "UPRO", "MACP",    "MACC",
    "CALL", "COND_STRUCT",  "BCOM",  "LCOM", "CCOM", "BCOB", "LCOB", "CCOB", "lc_line",
};

// Metric names of ct_ counters 1 to 18.
constexpr std::array<std::string_view, 18> kCtNames = {
    "ct_andthen", "ct_orelse",       "ct_ternary",  "ct_switch",         "ct_case",  "ct_for",
    "ct_while",   "ct_dowhile",      "ct_if",       "ct_casepath",       "ct_break_inloop",
    "ct_continue", "ct_break_inswitch", "ct_bran",  "ct_decis",          "ct_nest",  "ct_loop",
    "lc_parse",
};

}  // namespace

std::string_view total_name(Total total) {
    auto index = static_cast<size_t>(total);
    return index < kTotalNames.size() ? kTotalNames[index] : std::string_view();
}

std::string_view ct_name(int counter) {
    if (counter < 1 || counter > static_cast<int>(kCtNames.size())) return {};
    return kCtNames[static_cast<size_t>(counter - 1)];
}

}  // namespace qor
