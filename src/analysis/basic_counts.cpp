#include "analysis/basic_counts.hpp"

#include <cstdio>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/atomic_file.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"
#include "foundation/text_table.hpp"

namespace qor {

namespace {

constexpr int kPageWidth = 85;
constexpr int kLabelWidth = 31;
constexpr int kCountWidth = 6;
constexpr int kCountDigits = 4;

// A table in the report's layout: a rule is three blanks and 79 '-'.
TextTable report_table(FILE* out) {
    TextTable table(out, kPageWidth, '-', '|');
    table.table_layout(82, "   ", " ", " ");
    return table;
}

void centred_line(FILE* out, const std::string& text) {
    int pad = (kPageWidth - static_cast<int>(text.size())) / 2;
    std::fprintf(out, "%*s%s\n", pad > 0 ? pad : 0, "", text.c_str());
}

// One row of two label and count pairs; empty texts leave a cell blank.
void pair_row(TextTable& table, const std::string& label1, const std::string& count1, const std::string& label2,
              const std::string& count2) {
    const std::pair<const std::string*, int> cells[] = {
        {&label1, kLabelWidth}, {&count1, kCountWidth}, {&label2, kLabelWidth}, {&count2, kCountWidth}};
    for (int column = 1; column <= 4; ++column) {
        table.table_column(column, cells[column - 1].second);
        table.table_justify(column, column % 2 == 0 ? kRight : kLeft);
        table.table_text(*cells[column - 1].first);
    }
    table.table_row(TextTable::kOwnJustification);
}

std::string count_text(long value) { return str_format_int(value, kCountDigits); }

void counts_table(FILE* out, const ModuleRecord& module) {
    struct Row {
        const char* label1;
        int counter1;
        const char* label2;
        int counter2;
    };
    static constexpr Row kRows[] = {
        {"Number of statements", INST, "Number of comments", COMM},
        {"Total number of operators", OOPT, "Number of different operators", OPET},
        {"Total number of operands", OOPN, "Number of different operands", OPEN},
        {"Total number of calls", CALT, "Number of different calls", CALD},
    };
    auto counter = [&](int number) { return count_text(module.counters[number - 1]); };
    TextTable table = report_table(out);
    table.table_blank_lines(1);
    table.table_rule();
    for (const Row& row : kRows) pair_row(table, row.label1, counter(row.counter1), row.label2, counter(row.counter2));
    pair_row(table, "Number of implicite conversions", counter(9), "", "");
    table.table_rule();
}

using Occurrences = std::vector<std::pair<const std::string*, int>>;

// For every module, the texts of a dictionary that it used, in key order,
// with how often it used each: one walk of the dictionary for all modules.
std::unordered_map<const ModuleRecord*, Occurrences> occurrences_by_module(const Dico<UsageList>& dico) {
    std::unordered_map<const ModuleRecord*, Occurrences> by_module;
    for (const auto& [text, uses] : dico)
        for (const UsageEntry& use : uses) by_module[use.module].emplace_back(&text, use.count);
    return by_module;
}

void occurrence_list(FILE* out, const std::string& title, const Occurrences& used) {
    if (used.empty()) return;
    TextTable table = report_table(out);
    table.table_blank_lines(1);
    table.table_rule();
    pair_row(table, title, "Nber", title, "Nber");
    table.table_rule();
    for (size_t i = 0; i < used.size(); i += 2) {
        const auto& [left, left_count] = used[i];
        if (i + 1 < used.size()) {
            const auto& [right, right_count] = used[i + 1];
            pair_row(table, *left, count_text(left_count), *right, count_text(right_count));
        } else {
            pair_row(table, *left, count_text(left_count), "", "");
        }
    }
    table.table_rule();
}

struct UsageTables {
    const char* title;
    std::unordered_map<const ModuleRecord*, Occurrences> by_module;
};

void component_report(FILE* out, const ModuleRecord& module, const std::vector<UsageTables>& tables) {
    std::fprintf(out, "%s\n\n", " < Qorvane C V2.2 >");
    centred_line(out, "Basic counts of component :");
    centred_line(out, module.name);
    counts_table(out, module);
    for (const UsageTables& table : tables) {
        auto used = table.by_module.find(&module);
        if (used != table.by_module.end()) occurrence_list(out, table.title, used->second);
    }
    std::fputs("\f\n\n", out);
}

}  // namespace

void write_basic_counts(const std::string& path, const AnalysisModel& model) {
    AtomicFile file(path, MSG_ERROR);
    if (!file) return;
    // A module uses each text at most once in a dictionary: it is never
    // open twice.
    const std::vector<UsageTables> tables{{"Operators", occurrences_by_module(model.operators())},
                                          {"Operands", occurrences_by_module(model.operands())},
                                          {"Functions called", occurrences_by_module(model.callees())}};
    for (const auto& module : model.modules())
        if (module->kind == kComponentKind && !module->excluded) component_report(file.get(), *module, tables);
    file.commit();
}

}  // namespace qor
