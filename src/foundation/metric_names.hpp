// The names of the metrics every component stores, in the order the
// results files list them: written by the analysis, read by the reports.
#pragma once

#include <array>

namespace qor {

inline constexpr std::array<const char*, 44> kMetricNames{
    "STMT",        "CALL_PATHS",  "CALL",       "VG",          "LEVL",           "GOTO",
    "RETU",        "N_OUT",       "PARA",       "LVAR",        "UPRO",           "MACP",
    "MACC",        "N1",          "n1",         "N2",          "n2",             "BCOM",
    "LCOM",        "CCOM",        "BCOB",       "LCOB",        "CCOB",           "PATH",
    "COND_STRUCT", "lc_line",     "ct_andthen", "ct_orelse",   "ct_ternary",     "ct_switch",
    "ct_case",     "ct_for",      "ct_while",   "ct_dowhile",  "ct_if",          "ct_casepath",
    "ct_break_inloop", "ct_continue", "ct_break_inswitch", "ct_bran", "ct_decis", "ct_nest",
    "ct_loop",     "lc_parse"};

}  // namespace qor
