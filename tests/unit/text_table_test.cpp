// The fixed-width table formatter: layout arithmetic, cutting, and the
// coded fatal errors of misuse.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "foundation/text_table.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using test::ExitCalled;

class TextTableTest : public testing::Test {
protected:
    void SetUp() override {
        out_ = open_memstream(&buffer_, &size_);
        diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; });
    }
    void TearDown() override {
        diagnostics().set_exit_handler(nullptr);
        std::fclose(out_);
        std::free(buffer_);
    }
    std::string printed() {
        std::fflush(out_);
        return std::string(buffer_, size_);
    }
    // A table laid out as the basic-counts report lays out its tables.
    TextTable report_table() {
        TextTable table(out_, 85, '-', '|');
        table.table_layout(82, "   ", " ", " ");
        return table;
    }
    // What standard error received when `misuse` ended the run.
    std::string fatal_text(const std::function<void()>& misuse) {
        testing::internal::CaptureStderr();
        try {
            misuse();
        } catch (const ExitCalled&) {
            return testing::internal::GetCapturedStderr();
        }
        testing::internal::GetCapturedStderr();
        return "no fatal error";
    }

    FILE* out_ = nullptr;
    char* buffer_ = nullptr;
    size_t size_ = 0;
};

TEST_F(TextTableTest, FourColumnRowOfTheReport) {
    TextTable table = report_table();
    const std::pair<int, const char*> cells[] = {
        {31, "Number of statements"}, {6, "5"}, {31, "Number of comments"}, {6, "2"}};
    for (int column = 1; column <= 4; ++column) {
        table.table_column(column, cells[column - 1].first);
        table.table_justify(column, column % 2 == 0 ? kRight : kLeft);
        table.table_text(cells[column - 1].second);
    }
    table.table_row(TextTable::kOwnJustification);
    table.table_rule();
    std::string row = "   | Number of statements          |    5 | Number of comments            |    2 |\n";
    EXPECT_EQ(printed(), row + "   " + std::string(79, '-') + "\n");
}

TEST_F(TextTableTest, CutsLongTextAndCentresOddPadding) {
    TextTable table = report_table();
    table.table_column(1, 31);
    table.table_text("Number of implicite conversions");
    table.table_column(2, 8);
    table.table_text("abc");
    table.table_column(3, 7);
    table.table_text("xy");
    table.table_row(kCentre);
    // Field 29 cuts the label; "abc" in a field of 6 pads (3+1)/2 = 2 on each
    // side and the cell is cut at 8. The last column becomes the fill column
    // and takes one spare character: "xy" in 6 pads 2 each side, cut at 8.
    EXPECT_EQ(printed(), "   | Number of implicite conversi. |   abc  |   xy   |\n");
}

TEST_F(TextTableTest, PercentageAndFillColumnsShareTheRest) {
    TextTable table(out_, 100, '=', '!');
    table.table_layout(40, "", "", "");
    table.table_column(1, -50);
    table.table_text("a");
    table.table_column(2, 0);
    table.table_text("b");
    table.table_column(3, 5);
    table.table_justify(3, kRight);
    table.table_text("c");
    table.table_row(TextTable::kOwnJustification);
    table.table_rule();
    // Total 1 + (0+1) + (0+1) + (5+1) = 9; the rest of 31 gives 15 and 15,
    // and the leftover 1 goes to the fill column.
    EXPECT_EQ(printed(), "!a              !b               !    c!\n" + std::string(40, '=') + "\n");
}

TEST_F(TextTableTest, RawCellsAndEmptyRows) {
    TextTable table = report_table();
    table.table_row(kLeft);
    table.table_column(1, 10);
    table.table_justify(1, kRaw);
    table.table_text("raw");
    table.table_row(TextTable::kOwnJustification);
    table.table_blank_lines(2);
    table.table_blank_lines(0);
    // A raw cell takes the decorations' room; as the fill column of a short
    // row it also takes one spare character.
    EXPECT_EQ(printed(), "   |\n   |raw        |\n\n\n");
}

TEST_F(TextTableTest, MisuseEndsTheRunWithItsCode) {
    auto row_of = [&](std::vector<int> widths) {
        return [this, widths] {
            TextTable table = report_table();
            int column = 0;
            for (int width : widths) table.table_column(++column, width);
            table.table_row(kLeft);
        };
    };
    const std::pair<std::function<void()>, const char*> misuses[] = {
        {[&] { TextTable(out_, 255, '-', '|'); }, "E1 Maximum output width error."},
        {[&] { report_table().table_column(11, 5); }, "E2 Column index error."},
        {[&] { report_table().table_text("x"); }, "E2 Column index error."},
        {[&] { report_table().table_column(1, -101); }, "E3 Column size error."},
        {[&] { report_table().table_column(1, 80); }, "E3 Column size error."},
        {[&] { report_table().table_column(1, 79); }, "no fatal error"},
        {[&] { report_table().table_justify(1, 4); }, "E4 Justification code error."},
        {row_of({-1}), "E6 Negative string length."},
        {row_of({40, 40}), "E7 Insufficient table size."},
        {row_of({-60, -41}), "E7 Insufficient table size."},
    };
    for (const auto& [misuse, code] : misuses) EXPECT_NE(fatal_text(misuse).find(code), std::string::npos) << code;
}

}  // namespace
}  // namespace qor
