// The lexer's twelve dialect keyword tables: the words of each C dialect with
// their token codes and flag words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "foundation/dialect.hpp"

namespace qor {

// Flag words of keyword entries; the parser combines them into declaration
// specifiers.
enum KeywordFlag : uint32_t {
    KW_CHAR = 1,
    KW_INT = 2,
    KW_LONG = 4,
    KW_SHORT = 8,
    KW_SIGNED = 16,
    KW_UNSIGNED = 32,
    KW_FLOAT = 64,
    KW_DOUBLE = 128,
    KW_VOID = 256,
    KW_EXTERN = 2048,
    KW_STATIC = 4096,
    KW_TYPEDEF = 8192,
    KW_BOOL = 16384,
    KW_COMPLEX = 32768,
    KW_IMAGINARY = 65536,
    KW_INLINE = 131072,
};

struct Keyword {
    std::string_view text;
    int token;
    uint32_t flags;
};

// Exact, case-sensitive lookup in the dialect's table; null when the word is
// not a keyword. Words shorter than 2 characters never match.
const Keyword* find_keyword(KeywordTable table, std::string_view word);

// The number of words of a table: ANSI 33, C99 38, KR78 30, SUN 31, MCC 38,
// MCC_STD 35, GNU 75, MSC 59, MSC15 66, IAR 55; HP_ANSI has the ANSI words
// and HP the KR78 words.
size_t keyword_count(KeywordTable table);

// Every entry of a table, sorted by text.
std::span<const Keyword> keywords(KeywordTable table);

// The words that C23 makes keywords, read as such only in C23 mode: they
// may be ordinary names in older code. A new spelling of an older keyword
// (bool, alignas, static_assert ...) names that keyword; the other words
// have an entry of their own.
struct C23Word {
    std::string_view text;
    std::string_view older_spelling;  // empty for a new word
    Keyword entry;                    // for a new word
};
const C23Word* find_c23_word(std::string_view word);

}  // namespace qor
