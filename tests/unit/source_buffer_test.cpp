// The buffer of the function being instrumented: texts placed before and
// after numbered tokens stay in place while other texts move them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "instrument/source_buffer.hpp"

namespace qor {
namespace {

class SourceBufferTest : public testing::Test {
protected:
    void SetUp() override { out_ = open_memstream(&data_, &size_); }
    void TearDown() override {
        std::fclose(out_);
        std::free(data_);
    }
    std::string written() {
        std::fflush(out_);
        return std::string(data_, size_);
    }
    // Appends "a b c ..." and returns the first token's number.
    TokenId tokens(std::initializer_list<const char*> texts) {
        TokenId first = 0;
        for (const char* text : texts) {
            TokenId id = buffer.append_token(std::string(text) + " ");
            if (!first) first = id;
        }
        return first;
    }

    SourceBuffer buffer;
    FILE* out_ = nullptr;
    char* data_ = nullptr;
    size_t size_ = 0;
};

TEST_F(SourceBufferTest, InsertionsMoveTheLaterTokens) {
    TokenId f = tokens({"f", "(", "a", ")", ";"});
    // A call f(a), then the lookahead ';' already read.
    buffer.insert_after(f + 3, ")", out_);
    buffer.insert_before(f, "(P,", out_);
    buffer.flush_through(f + 3, out_);
    EXPECT_EQ(written(), "(P,f ( a ) )");
    buffer.flush_all(out_);
    EXPECT_EQ(written(), "(P,f ( a ) ); ");
}

TEST_F(SourceBufferTest, NestedCallsKeepTheirPositions) {
    TokenId g = tokens({"g", "(", "h", "(", "x", ")", ",", "y", ")"});
    buffer.insert_after(g + 5, ")", out_);
    buffer.insert_before(g + 2, "(H,", out_);
    buffer.insert_after(g + 8, ")", out_);
    buffer.insert_before(g, "(G,", out_);
    buffer.flush_all(out_);
    EXPECT_EQ(written(), "(G,g ( (H,h ( x ) ), y ) )");
}

TEST_F(SourceBufferTest, ReplacedTokensAndLayout) {
    TokenId d = tokens({"do"});
    buffer.append_layout("\n");
    tokens({"x", "++", ";"});
    buffer.replace(d, d, "for (;;) do ");
    buffer.flush_all(out_);
    EXPECT_EQ(written(), "for (;;) do \nx ++ ; ");
}

TEST_F(SourceBufferTest, WrittenTokensAreBeforeTheBuffer) {
    TokenId a = tokens({"a", "b"});
    buffer.flush_through(a, out_);
    buffer.flush_through(a, out_);       // already written: nothing more
    buffer.insert_after(a, "|", out_);   // lands before what the buffer holds
    buffer.flush_through(a + 1, out_);
    EXPECT_EQ(written(), "a |b ");
}

// A dropped token keeps its place: a construct that ends with it (a do
// loop's ';') still closes there, behind the text before it.
TEST_F(SourceBufferTest, TextAfterADroppedToken) {
    TokenId x = tokens({"x", ";", "y"});
    buffer.drop(x + 1);
    buffer.insert_after(x + 1, "}", out_);
    buffer.insert_after(x + 1, "else", out_);
    buffer.flush_all(out_);
    EXPECT_EQ(written(), "x }elsey ");
}

// A decision's conditions are read with the probes attached to them, and
// the decision is replaced as a whole; the tokens after it stay usable.
TEST_F(SourceBufferTest, ConditionTextsAndReplacedDecision) {
    TokenId i = tokens({"if", "(", "f", "(", "x", ")", "&&", "b", ")"});
    buffer.insert_after(i + 5, ")", out_);
    buffer.insert_before(i + 2, "(P,", out_);
    EXPECT_EQ(buffer.text(i + 2, i + 5), "(P,f ( x ) )");
    EXPECT_EQ(buffer.text(i + 7, i + 7), "b");
    EXPECT_TRUE(buffer.replace(i + 2, i + 7, "D(f,b) "));
    EXPECT_EQ(buffer.text(i + 2, i + 7), "D(f,b)");
    buffer.insert_after(i + 8, "{", out_);
    buffer.flush_through(i + 8, out_);
    EXPECT_EQ(written(), "if ( D(f,b) ) {");
}

// Once a range is replaced, its text belongs to its first token: a range
// that starts or ends inside it would take part of that text or lose it,
// and is refused; one that holds it whole still reads and replaces it.
TEST_F(SourceBufferTest, ReplacedRangesAreTakenWhole) {
    TokenId i = tokens({"(", "!", "a", "==", "!", "b", ")", "&&", "c"});
    EXPECT_TRUE(buffer.replace(i + 1, i + 5, "E(!a == !b) "));
    EXPECT_FALSE(buffer.text(i + 2, i + 2));
    EXPECT_FALSE(buffer.replace(i + 1, i + 2, "E(a) "));
    EXPECT_FALSE(buffer.replace(i + 4, i + 5, "E(b) "));
    EXPECT_FALSE(buffer.text(i, i + 3));
    EXPECT_EQ(buffer.text(i + 1, i + 5), "E(!a == !b)");
    EXPECT_EQ(buffer.text(i, i + 6), "( E(!a == !b) )");
    EXPECT_TRUE(buffer.replace(i, i + 8, "D((E(!a == !b)) && c) "));
    buffer.flush_all(out_);
    EXPECT_EQ(written(), "D((E(!a == !b)) && c) ");
}

TEST_F(SourceBufferTest, WrittenTokensHaveNoText) {
    TokenId a = tokens({"a", "&&", "b"});
    buffer.flush_through(a, out_);
    EXPECT_FALSE(buffer.text(a, a + 2));
    EXPECT_FALSE(buffer.replace(a, a + 2, "x"));
    EXPECT_FALSE(buffer.text(a + 2, a + 1));
    buffer.flush_all(out_);
    EXPECT_EQ(written(), "a && b ");
}

}  // namespace
}  // namespace qor
