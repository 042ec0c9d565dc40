#include "analysis/basic_counts.hpp"

#include <cstdio>
#include <utility>
#include <vector>

#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
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

// The texts of a dictionary that the module used, in key order, with how
// often it used each.
std::vector<std::pair<const std::string*, int>> used_by(const Dico<UsageList>& dico, const ModuleRecord& module) {
    std::vector<std::pair<const std::string*, int>> used;
    for (const auto& [text, uses] : dico) {
        for (const UsageEntry& use : uses) {
            if (use.module_name() == module.name && use.module_kind() == module.kind) {
                used.emplace_back(&text, use.count);
                break;
            }
        }
    }
    return used;
}

void occurrence_list(FILE* out, const std::string& title, const Dico<UsageList>& dico, const ModuleRecord& module) {
    auto used = used_by(dico, module);
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

void component_report(FILE* out, const AnalysisModel& model, const ModuleRecord& module) {
    std::fprintf(out, "%s\n\n", " < Qorvane C V2.2 >");
    centred_line(out, "Basic counts of component :");
    centred_line(out, module.name);
    counts_table(out, module);
    occurrence_list(out, "Operators", model.operators(), module);
    occurrence_list(out, "Operands", model.operands(), module);
    occurrence_list(out, "Functions called", model.callees(), module);
    std::fputs("\f\n\n", out);
}

}  // namespace

void write_basic_counts(const std::string& path, const AnalysisModel& model) {
    FilePtr file = open_file(path, "w", MSG_ERROR, NameForm::Literal);
    if (!file) return;
    for (const auto& module : model.modules())
        if (module->kind == kComponentKind && !module->excluded) component_report(file.get(), model, *module);
}

}  // namespace qor
