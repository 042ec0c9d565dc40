#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/keywords.hpp"
#include "frontend/tokens.hpp"

namespace qor {
namespace {

constexpr KeywordTable kAllTables[] = {
    KeywordTable::ANSI, KeywordTable::KR78, KeywordTable::SUN,   KeywordTable::HP_ANSI,
    KeywordTable::HP,   KeywordTable::MCC,  KeywordTable::MCC_STD, KeywordTable::GNU,
    KeywordTable::MSC15, KeywordTable::MSC, KeywordTable::IAR,   KeywordTable::C99,
};

TEST(KeywordTables, EveryEntryIsFoundByLookup) {
    for (KeywordTable table : kAllTables) {
        SCOPED_TRACE(static_cast<int>(table));
        EXPECT_EQ(keyword_count(table), keywords(table).size());
        for (const Keyword& k : keywords(table)) {
            const Keyword* found = find_keyword(table, k.text);
            ASSERT_NE(found, nullptr) << k.text;
            EXPECT_EQ(found, &k);
            // A longer word is never taken for this one (_Float32x is a
            // word of its own).
            const Keyword* longer = find_keyword(table, std::string(k.text) + "x");
            EXPECT_TRUE(!longer || longer->text == std::string(k.text) + "x") << k.text;
        }
    }
}

TEST(KeywordLookup, IsExactAndCaseSensitive) {
    for (std::string_view word : {"Int", "IF", "in", "integer", "ansi_main", "i", ""})
        EXPECT_EQ(find_keyword(KeywordTable::IAR, word), nullptr) << word;
    EXPECT_EQ(find_keyword(KeywordTable::ANSI, std::string_view("if\0", 3)), nullptr);
    EXPECT_EQ(find_keyword(KeywordTable::ANSI, "do")->token, DO);
}

// A word's token per dialect; IDENTIFICATEUR when it is not a keyword.
TEST(KeywordLookup, DialectExamples) {
    struct Example {
        KeywordTable table;
        std::string_view word;
        int token;
        uint32_t flags;
    };
    const Example examples[] = {
        {KeywordTable::KR78, "const", IDENTIFICATEUR, 0},
        {KeywordTable::HP, "signed", IDENTIFICATEUR, 0},
        {KeywordTable::HP_ANSI, "const", kwCONST, 0},
        {KeywordTable::SUN, "std_$call", SPECIFICATEUR_DE_STORAGE, 0},
        {KeywordTable::GNU, "__attribute__", ATTRIBUTE, 0},
        {KeywordTable::ANSI, "__attribute__", IDENTIFICATEUR, 0},
        {KeywordTable::GNU, "inline", QUALIFICATEUR_DE_TYPE, KW_INLINE},
        {KeywordTable::ANSI, "asm", ASM, 0},
        {KeywordTable::MSC, "asm", IDENTIFICATEUR, 0},
        {KeywordTable::MSC15, "asm", IDENTIFICATEUR, 0},
        {KeywordTable::MCC, "asm", ASM_MCC68K, 0},
        {KeywordTable::MCC_STD, "asm", ASM_MCC68K, 0},
        {KeywordTable::MCC, "interrupt", QUALIFICATEUR_DE_TYPE, 0},
        {KeywordTable::IAR, "interrupt", INTERRUPT, 0},
        {KeywordTable::MSC15, "__try", IDENTIFICATEUR, 0},
        {KeywordTable::C99, "inline", SPECIFICATEUR_DE_STORAGE, KW_INLINE},
        {KeywordTable::C99, "_Bool", SPECIFICATEUR_DE_TYPE, KW_BOOL},
        {KeywordTable::ANSI, "_Bool", IDENTIFICATEUR, 0},
        {KeywordTable::IAR, "sfrp", SPECIFICATEUR_DE_TYPE, KW_INT},
        // The GNU extensions, and the same words in the other dialects.
        {KeywordTable::GNU, "_Bool", SPECIFICATEUR_DE_TYPE, KW_BOOL},
        {KeywordTable::GNU, "__signed", SPECIFICATEUR_DE_TYPE, KW_SIGNED},
        {KeywordTable::GNU, "_Thread_local", SPECIFICATEUR_DE_STORAGE, 0},
        {KeywordTable::GNU, "__builtin_va_arg", BUILTIN_TYPE_ARG, 0},
        {KeywordTable::GNU, "__builtin_expect", IDENTIFICATEUR, 0},
        {KeywordTable::C99, "__builtin_va_arg", IDENTIFICATEUR, 0},
        {KeywordTable::ANSI, "__int128", IDENTIFICATEUR, 0},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(std::string(e.word) + " in table " + std::to_string(static_cast<int>(e.table)));
        const Keyword* k = find_keyword(e.table, e.word);
        EXPECT_EQ(k ? k->token : IDENTIFICATEUR, e.token);
        EXPECT_EQ(k ? k->flags : 0u, e.flags);
    }
}

}  // namespace
}  // namespace qor
