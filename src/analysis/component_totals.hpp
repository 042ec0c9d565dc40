// The run-wide per-component totals that the lexer and the grammar keep
// while a component is open, and the 18 ct_ counters.
#pragma once

#include <array>
#include <string_view>

namespace qor {

enum class Total {
    VG, LEVL, GOTO, N_OUT, RETU, PARA, LVAR, UPRO, MACP, MACC, CALL, COND_STRUCT,
    BCOM, LCOM, CCOM, BCOB, LCOB, CCOB, lc_line,
};
inline constexpr size_t kTotalCount = static_cast<size_t>(Total::lc_line) + 1;
std::string_view total_name(Total total);

class ComponentTotals {
public:
    int& operator[](Total total) { return values_[static_cast<size_t>(total)]; }
    int operator[](Total total) const { return values_[static_cast<size_t>(total)]; }

private:
    std::array<int, kTotalCount> values_{};
};

// ct_ counters, numbered 1 to 18 as their metric names are ordered.
enum CtCounter : int {
    ct_andthen = 1, ct_orelse, ct_ternary, ct_switch, ct_case, ct_for, ct_while, ct_dowhile, ct_if, ct_casepath,
    ct_break_inloop, ct_continue, ct_break_inswitch, ct_bran, ct_decis, ct_nest, ct_loop, lc_parse,
};
std::string_view ct_name(int counter);

class CtCounters {
public:
    void ct_add(int counter, int flag) { if (flag) ++at(counter); }
    void ct_add_n(int counter, int amount) { at(counter) += amount; }
    void ct_set(int counter, int value) { at(counter) = value; }
    int ct_get(int counter) const { return values_[static_cast<size_t>(counter - 1)]; }
    void ct_reset() { values_ = {}; }

private:
    int& at(int counter) { return values_[static_cast<size_t>(counter - 1)]; }
    std::array<int, 18> values_{};
};

}  // namespace qor
