// The results file of one source file: a fixed schema of entity classes,
// then the file and component objects, their attributes, every stored
// metric value and which components belong to which file.
#pragma once

#include <array>
#include <string>

#include "analysis/metrics.hpp"
#include "analysis/object_identities.hpp"

namespace qor {

// The metrics every component stores, in the results file's order.
inline constexpr std::array<const char*, 44> kMetricNames{
    "STMT",        "CALL_PATHS",  "CALL",       "VG",          "LEVL",           "GOTO",
    "RETU",        "N_OUT",       "PARA",       "LVAR",        "UPRO",           "MACP",
    "MACC",        "N1",          "n1",         "N2",          "n2",             "BCOM",
    "LCOM",        "CCOM",        "BCOB",       "LCOB",        "CCOB",           "PATH",
    "COND_STRUCT", "lc_line",     "ct_andthen", "ct_orelse",   "ct_ternary",     "ct_switch",
    "ct_case",     "ct_for",      "ct_while",   "ct_dowhile",  "ct_if",          "ct_casepath",
    "ct_break_inloop", "ct_continue", "ct_break_inswitch", "ct_bran", "ct_decis", "ct_nest",
    "ct_loop",     "lc_parse"};

// Writes the results of `metrics` to `path` (a name whose variables are
// already expanded). A file that cannot be written is reported as an
// error and the old file stays as it was (see AtomicFile).
void write_results_file(const std::string& path, const MetricCollector& metrics, ObjectIdentities& identities);

// The results file's text; names take their identities at their first
// lookup and every instance line takes a new one.
std::string results_text(const MetricCollector& metrics, ObjectIdentities& identities);

}  // namespace qor
