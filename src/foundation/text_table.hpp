// Rows of up to ten fixed-width cells between separator characters, with
// horizontal rules: the layout of the basic-counts report. Every misuse is a
// programming error and ends the run with a coded fatal message.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace qor {

enum Justification : int { kLeft = 0, kRight = 1, kCentre = 2, kRaw = 3 };

class TextTable {
public:
    static constexpr int kColumns = 10;
    // table_row's mode that justifies each cell by its column's own code.
    static constexpr int kOwnJustification = 4;

    // table_create: fatal E1 when max_width is 255 or more. The layout
    // starts as (90, six blanks, " ", "").
    TextTable(FILE* output, int max_width, char filler, char separator);

    void table_layout(int width, std::string_view margin, std::string_view left, std::string_view right);
    // Makes the column current and sets its width: > 0 fixed, -100..-1 a
    // percentage of the remaining width, 0 the column that takes the rest.
    void table_column(int column, int width);
    void table_justify(int column, int code);
    // Appends to the current column's cell.
    void table_text(std::string_view text);
    // Prints the row and clears it; mode 0..3 justifies every cell alike.
    void table_row(int mode);
    void table_rule();
    void table_blank_lines(int n);

private:
    struct Column {
        int width = 0;
        int justification = kLeft;
        std::string cell;
    };
    // Room for the text, and for the text with its decorations.
    struct Widths {
        int field = 0;
        int cell = 0;
    };

    static void check_index(int column);
    void compute_widths(int mode, std::array<Widths, kColumns>& widths) const;
    std::string build_cell(const Widths& widths, const std::string& text, int code) const;

    FILE* output_;
    int max_width_;
    char filler_;
    char separator_;
    std::string margin_;
    std::string left_;
    std::string right_;
    int decoration_ = 0;
    int usable_ = 0;
    std::string rule_;
    std::array<Column, kColumns> columns_;
    int used_ = 0;
    int current_ = 0;
    int fill_column_ = 0;  // 1-based; 0 for none
};

}  // namespace qor
