#include "foundation/text_table.hpp"

#include <algorithm>

#include "foundation/diagnostics.hpp"

namespace qor {

TextTable::TextTable(FILE* output, int max_width, char filler, char separator)
    : output_(output), max_width_(max_width), filler_(filler), separator_(separator) {
    if (max_width >= 255) fatal_error("E1 Maximum output width error.");
    table_layout(90, "      ", " ", "");
}

void TextTable::table_layout(int width, std::string_view margin, std::string_view left, std::string_view right) {
    margin_ = margin;
    left_ = left;
    right_ = right;
    decoration_ = static_cast<int>(left_.size() + right_.size());
    usable_ = std::min(width, max_width_) - static_cast<int>(margin_.size());
    rule_.assign(std::max(usable_, 0), filler_);
}

void TextTable::check_index(int column) {
    if (column < 1 || column > kColumns) fatal_error("E2 Column index error.");
}

void TextTable::table_column(int column, int width) {
    check_index(column);
    if (width < -100 || width > usable_) fatal_error("E3 Column size error.");
    current_ = column;
    used_ = std::max(used_, column);
    columns_[column - 1].width = width;
    if (width == 0) fill_column_ = column;
}

void TextTable::table_justify(int column, int code) {
    check_index(column);
    if (code < kLeft || code > kRaw) fatal_error("E4 Justification code error.");
    columns_[column - 1].justification = code;
}

void TextTable::table_text(std::string_view text) {
    if (current_ < 1 || current_ > kColumns) fatal_error("E2 Column index error.");
    columns_[current_ - 1].cell += text;
}

void TextTable::compute_widths(int mode, std::array<Widths, kColumns>& widths) const {
    int total = 1;
    int percent_columns = 0;
    int percent_sum = 0;
    for (int i = 0; i < used_; ++i) {
        int width = columns_[i].width;
        total += (width > 0 ? width : decoration_) + 1;
        if (width < 0) {
            ++percent_columns;
            percent_sum -= width;
        }
    }
    if (total > usable_ || percent_sum >= 101) fatal_error("E7 Insufficient table size.");

    int remaining = percent_columns * decoration_ + usable_ - total;
    int shares = 0;
    for (int i = 0; i < used_; ++i) {
        int width = columns_[i].width;
        int code = mode == kOwnJustification ? columns_[i].justification : mode;
        Widths& w = widths[i];
        if (width > 0) {
            w = {std::max(width - decoration_, 0), width};
        } else if (width < 0 || i + 1 == fill_column_) {
            int share = (width < 0 ? -width : 100 - percent_sum) * remaining / 100;
            shares += share;
            w = {share - decoration_, share};
        } else {
            w = {0, 0};
        }
        if (code == kRaw) {
            w.field += decoration_;
            if (width > 0) w.field = std::min(w.field, width);
            w.cell = w.field;
        }
    }
    if (fill_column_ > 0 && remaining - shares >= 1) {
        ++widths[fill_column_ - 1].field;
        ++widths[fill_column_ - 1].cell;
    }
}

std::string TextTable::build_cell(const Widths& widths, const std::string& text, int code) const {
    if (widths.field < 0) fatal_error("E6 Negative string length.");
    int pad = widths.field - static_cast<int>(text.size());
    if (pad > 0 && code == kCentre) pad = (pad + 1) / 2;
    std::string padding(std::max(pad, 0), ' ');

    std::string shown;
    if (widths.field >= 1) shown = text;
    if (static_cast<int>(shown.size()) > widths.field) {
        shown.resize(widths.field);
        shown.back() = '.';
    }
    std::string cell;
    switch (code) {
        case kLeft: cell = left_ + shown + padding + right_; break;
        case kRight: cell = left_ + padding + shown + right_; break;
        case kCentre: cell = left_ + padding + shown + padding + right_; break;
        default: cell = shown + padding; break;
    }
    if (static_cast<int>(cell.size()) > widths.cell) cell.resize(std::max(widths.cell, 0));
    return cell;
}

void TextTable::table_row(int mode) {
    if (fill_column_ == 0 && used_ > 0) fill_column_ = used_;
    std::array<Widths, kColumns> widths{};
    compute_widths(mode, widths);
    std::fputs(margin_.c_str(), output_);
    for (int i = 0; i < used_; ++i) {
        Column& column = columns_[i];
        int code = mode == kOwnJustification ? column.justification : mode;
        std::string cell = build_cell(widths[i], column.cell, code);
        std::fputc(separator_, output_);
        std::fputs(cell.c_str(), output_);
        column.cell.clear();
    }
    std::fprintf(output_, "%c\n", separator_);
    used_ = 0;
    current_ = 0;
}

void TextTable::table_rule() { std::fprintf(output_, "%s%s\n", margin_.c_str(), rule_.c_str()); }

void TextTable::table_blank_lines(int n) {
    for (int i = 0; i < n; ++i) std::fputc('\n', output_);
}

}  // namespace qor
