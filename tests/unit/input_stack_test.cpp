// The input stack: files and pushed texts read innermost first, bytes put
// back, line counting and the hide sets of expansion texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "preprocessor/input_stack.hpp"
#include "preprocessor/macro_table.hpp"

namespace qor {
namespace {

FILE* file_with(const std::string& text) {
    FILE* file = std::tmpfile();
    std::fputs(text.c_str(), file);
    std::rewind(file);
    return file;
}

std::string read_all(InputStack& inputs) {
    std::string text;
    for (int c; (c = inputs.get()) != -1;) text += static_cast<char>(c);
    return text;
}

TEST(InputStack, TextsAreReadBeforeTheFileUnderThem) {
    InputStack inputs;
    inputs.push_file(file_with("ab\ncd\n"), "a.c");
    EXPECT_TRUE(inputs.take_file_changed());
    EXPECT_FALSE(inputs.take_file_changed());
    EXPECT_EQ(inputs.get(), 'a');
    inputs.push_text("X\n");
    inputs.push_text("Y");
    EXPECT_EQ(read_all(inputs), "YX\nb\ncd\n");
    // A newline of a text counts in the file under it.
    EXPECT_EQ(inputs.line(), 4);
    EXPECT_TRUE(inputs.empty());
    EXPECT_TRUE(inputs.take_file_changed());
    EXPECT_EQ(inputs.final_name(), "a.c");
}

TEST(InputStack, BytesPutBackAreReadAgainAndUncountNewlines) {
    InputStack inputs;
    int counted = 0;
    inputs.set_line_counter(&counted);
    inputs.push_file(file_with("a\nb"), "a.c");
    EXPECT_EQ(inputs.get(), 'a');
    EXPECT_EQ(inputs.get(), '\n');
    EXPECT_EQ(inputs.line(), 2);
    inputs.unget('\n');
    inputs.unget('z');
    EXPECT_EQ(inputs.line(), 1);
    EXPECT_EQ(counted, 0);
    EXPECT_EQ(read_all(inputs), "z\nb");
    // On an empty stack a byte put back is a text of its own.
    inputs.unget('q');
    EXPECT_EQ(inputs.get(), 'q');
    EXPECT_EQ(inputs.get(), -1);
}

TEST(InputStack, ArgumentTextsUseTheHideSetOutsideTheExpansion) {
    InputStack inputs;
    inputs.push_file(file_with("rest"), "a.c");
    auto inner = std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"M"});
    InputRecord& record = inputs.push_text(std::string("a") + kArgumentStart + "b" + kArgumentEnd + "c");
    record.hidden = inner;
    record.outer_hidden = nullptr;
    std::string hidden_per_byte;
    for (int i = 0; i < 5; ++i) {
        inputs.get();
        hidden_per_byte += inputs.last_hide_set() ? 'M' : '-';
    }
    // The start code already belongs to the argument, the end code not.
    EXPECT_EQ(hidden_per_byte, "M--MM");
    EXPECT_EQ(inputs.get(), 'r');
    EXPECT_TRUE(inputs.last_from_stream());
    EXPECT_FALSE(inputs.last_hide_set());
}

TEST(InputStack, DiscardingTextsStopsAtTheFile) {
    InputStack inputs;
    inputs.push_file(file_with("f"), "a.c");
    inputs.push_text("one");
    inputs.push_text("two");
    inputs.discard_texts();
    ASSERT_EQ(inputs.records().size(), 1u);
    EXPECT_EQ(inputs.stream_record()->opened_name, "a.c");
    EXPECT_EQ(read_all(inputs), "f");
}

}  // namespace
}  // namespace qor
