#include <gtest/gtest.h>

#include <map>
#include <set>
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

struct Entry {
    int token;
    uint32_t flags;
    bool operator==(const Entry&) const = default;
};
using Words = std::map<std::string, Entry>;

constexpr int T = SPECIFICATEUR_DE_TYPE;
constexpr int S = SPECIFICATEUR_DE_STORAGE;
constexpr int Q = QUALIFICATEUR_DE_TYPE;

// The ANSI base table, written out independently of the code.
const Words kAnsi = {
    {"asm", {ASM, 0}},          {"auto", {S, 0}},          {"break", {BREAK, 0}},
    {"case", {CASE, 0}},        {"char", {T, 1}},          {"const", {kwCONST, 0}},
    {"continue", {CONTINUE, 0}}, {"default", {DEFAULT, 0}}, {"do", {DO, 0}},
    {"double", {T, 128}},       {"else", {ELSE, 0}},       {"enum", {ENUM, 0}},
    {"extern", {S, 2048}},      {"float", {T, 64}},        {"for", {FOR, 0}},
    {"goto", {GOTO, 0}},        {"if", {IF, 0}},           {"int", {T, 2}},
    {"long", {T, 4}},           {"register", {S, 0}},      {"return", {RETURN, 0}},
    {"short", {T, 8}},          {"signed", {T, 16}},       {"sizeof", {SIZEOF, 0}},
    {"static", {S, 4096}},      {"struct", {STRUCT, 0}},   {"switch", {SWITCH, 0}},
    {"typedef", {S, 8192}},     {"union", {UNION, 0}},     {"unsigned", {T, 32}},
    {"void", {T, 256}},         {"volatile", {VOLATILE, 0}}, {"while", {WHILE, 0}},
};

Words derived(std::vector<std::string> without, Words added) {
    Words words = kAnsi;
    for (const auto& word : without) words.erase(word);
    for (const auto& [word, entry] : added) words[word] = entry;
    return words;
}

Words all_qualifiers(std::vector<std::string> names) {
    Words words;
    for (auto& name : names) words[name] = {Q, 0};
    return words;
}

Words merged(Words a, const Words& b) {
    a.insert(b.begin(), b.end());
    return a;
}

const std::vector<std::string> kNoQualifiers = {"const", "signed", "volatile"};

const Words kMccAdded = {
    {"asm", {ASM_MCC68K, 0}}, {"inline", {Q, 0}},   {"interrupt", {Q, 0}},
    {"packed", {Q, 0}},       {"unpacked", {Q, 0}}, {"typeof", {TYPEOF, 0}},
};

// Every table as the ANSI base with each dialect's differences.
std::map<KeywordTable, Words> expected_tables() {
    std::map<KeywordTable, Words> tables;
    tables[KeywordTable::ANSI] = kAnsi;
    tables[KeywordTable::HP_ANSI] = kAnsi;
    tables[KeywordTable::C99] = derived({}, {{"_Bool", {T, 16384}},
                                             {"_Complex", {T, 32768}},
                                             {"_Imaginary", {T, 65536}},
                                             {"inline", {S, 131072}},
                                             {"restrict", {kwRESTRICT, 0}}});
    tables[KeywordTable::KR78] = derived(kNoQualifiers, {});
    tables[KeywordTable::HP] = derived(kNoQualifiers, {});
    tables[KeywordTable::SUN] = derived(kNoQualifiers, {{"std_$call", {S, 0}}});
    tables[KeywordTable::MCC] = derived({}, kMccAdded);
    tables[KeywordTable::MCC_STD] = derived(kNoQualifiers, kMccAdded);
    tables[KeywordTable::GNU] = derived(
        {}, merged(all_qualifiers({"__inline", "__inline__", "inline"}),
                   {{"__alignof__", {ALIGNOF, 0}},
                    {"__asm__", {ASM, 0}},
                    {"__attribute__", {ATTRIBUTE, 0}},
                    {"__builtin_va_list", {T, 0}},
                    {"__const", {kwCONST, 0}},
                    {"__const__", {kwCONST, 0}},
                    {"__signed__", {T, 16}},
                    {"__typeof__", {TYPEOF, 0}},
                    {"typeof", {TYPEOF, 0}},
                    {"__volatile__", {VOLATILE, 0}}}));
    tables[KeywordTable::MSC] = derived(
        {"asm"}, merged(all_qualifiers({"__cdecl", "_cdecl", "cdecl", "__fastcall", "_fastcall",
                                        "__stdcall", "_stdcall", "__inline", "_inline"}),
                        {{"__based", {BASED, 0}},     {"_based", {BASED, 0}},
                         {"__try", {TRY, 0}},         {"_try", {TRY, 0}},
                         {"__except", {EXCEPT, 0}},   {"_except", {EXCEPT, 0}},
                         {"__finally", {FINALLY, 0}}, {"_finally", {FINALLY, 0}},
                         {"__leave", {LEAVE, 0}},     {"_leave", {LEAVE, 0}},
                         {"__int8", {T, 0}},          {"__int16", {T, 0}},
                         {"__int32", {T, 0}},         {"__int64", {T, 0}},
                         {"_int8", {T, 0}},           {"_int16", {T, 0}},
                         {"_int32", {T, 0}},          {"_int64", {T, 0}}}));
    tables[KeywordTable::MSC15] = derived(
        {"asm"},
        merged(all_qualifiers({"__cdecl", "_cdecl", "cdecl", "__export", "_export", "__far", "_far",
                               "far", "__fastcall", "_fastcall", "__fortran", "_fortran", "__huge",
                               "_huge", "huge", "__inline", "_inline", "__interrupt", "_interrupt",
                               "__loadds", "_loadds", "__near", "_near", "near", "__pascal",
                               "_pascal", "__saveregs", "_saveregs"}),
               {{"__based", {BASED, 0}},
                {"_based", {BASED, 0}},
                {"__segment", {T, 0}},
                {"_segment", {T, 0}},
                {"__segname", {TYPEOF, 0}},
                {"_segname", {TYPEOF, 0}}}));
    tables[KeywordTable::IAR] = derived(
        {}, merged(all_qualifiers({"ANSI_main", "C_task", "banked", "banked_func", "dir", "far",
                                   "far_func", "huge", "monitor", "near", "near_func", "no_init",
                                   "non_banked", "tiny", "tiny_func", "version_2", "zpage"}),
                   {{"bit", {T, 2}},
                    {"sfr", {T, 2}},
                    {"sfrp", {T, 2}},
                    {"interrupt", {INTERRUPT, 0}},
                    {"ccr_mask", {INTERRUPT, 0}}}));
    return tables;
}

Words actual_table(KeywordTable table) {
    Words words;
    for (const Keyword& k : keywords(table)) words[std::string(k.text)] = {k.token, k.flags};
    return words;
}

TEST(KeywordTables, Sizes) {
    const std::map<KeywordTable, size_t> sizes = {
        {KeywordTable::ANSI, 33}, {KeywordTable::C99, 38},     {KeywordTable::KR78, 30},
        {KeywordTable::SUN, 31},  {KeywordTable::HP_ANSI, 33}, {KeywordTable::HP, 30},
        {KeywordTable::MCC, 38},  {KeywordTable::MCC_STD, 35}, {KeywordTable::GNU, 46},
        {KeywordTable::MSC, 59},  {KeywordTable::MSC15, 66},   {KeywordTable::IAR, 55},
    };
    for (KeywordTable table : kAllTables) {
        SCOPED_TRACE(static_cast<int>(table));
        EXPECT_EQ(keyword_count(table), sizes.at(table));
        EXPECT_EQ(keywords(table).size(), sizes.at(table));
    }
}

TEST(KeywordTables, EveryTableHasExactlyItsWordsTokensAndFlags) {
    const auto expected = expected_tables();
    for (KeywordTable table : kAllTables) {
        SCOPED_TRACE(static_cast<int>(table));
        const Words actual = actual_table(table);
        const Words& wanted = expected.at(table);
        EXPECT_EQ(actual.size(), wanted.size());
        for (const auto& [word, entry] : wanted) {
            auto it = actual.find(word);
            if (it == actual.end()) {
                ADD_FAILURE() << "missing " << word;
                continue;
            }
            EXPECT_EQ(it->second.token, entry.token) << word;
            EXPECT_EQ(it->second.flags, entry.flags) << word;
        }
        for (const auto& [word, entry] : actual)
            EXPECT_TRUE(wanted.count(word)) << "unexpected " << word;
    }
}

TEST(KeywordTables, EveryEntryIsFoundByLookup) {
    for (KeywordTable table : kAllTables) {
        SCOPED_TRACE(static_cast<int>(table));
        for (const Keyword& k : keywords(table)) {
            const Keyword* found = find_keyword(table, k.text);
            ASSERT_NE(found, nullptr) << k.text;
            EXPECT_EQ(found, &k);
            EXPECT_EQ(find_keyword(table, std::string(k.text) + "x"), nullptr) << k.text;
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
        {KeywordTable::GNU, "inline", QUALIFICATEUR_DE_TYPE, 0},
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
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(std::string(e.word) + " in table " + std::to_string(static_cast<int>(e.table)));
        const Keyword* k = find_keyword(e.table, e.word);
        EXPECT_EQ(k ? k->token : IDENTIFICATEUR, e.token);
        EXPECT_EQ(k ? k->flags : 0u, e.flags);
    }
    EXPECT_EQ(KW_INLINE, 131072u);
    EXPECT_EQ(KW_BOOL, 16384u);
}

TEST(KeywordLookup, StorageFlagsInEveryTable) {
    for (KeywordTable table : kAllTables) {
        SCOPED_TRACE(static_cast<int>(table));
        EXPECT_EQ(find_keyword(table, "extern")->flags, 2048u);
        EXPECT_EQ(find_keyword(table, "static")->flags, 4096u);
        EXPECT_EQ(find_keyword(table, "typedef")->flags, 8192u);
        EXPECT_EQ(find_keyword(table, "auto")->flags, 0u);
        EXPECT_EQ(find_keyword(table, "register")->flags, 0u);
    }
}

}  // namespace
}  // namespace qor
