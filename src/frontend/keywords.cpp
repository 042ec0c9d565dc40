// The twelve keyword tables, derived at compile time from the ANSI base and
// each dialect's differences. Each table is a sorted constant array searched
// by binary search after a length bounds check.
#include "frontend/keywords.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "frontend/tokens.hpp"

namespace qor {
namespace {

using Word = std::string_view;

constexpr Keyword kw(Word text, int token, uint32_t flags = 0) { return Keyword{text, token, flags}; }

constexpr int kType = SPECIFICATEUR_DE_TYPE;
constexpr int kStorage = SPECIFICATEUR_DE_STORAGE;
constexpr int kQualifier = QUALIFICATEUR_DE_TYPE;

constexpr auto kAnsiWords = std::to_array<Keyword>({
    kw("asm", ASM),
    kw("auto", kStorage),
    kw("break", BREAK),
    kw("case", CASE),
    kw("char", kType, KW_CHAR),
    kw("const", kwCONST),
    kw("continue", CONTINUE),
    kw("default", DEFAULT),
    kw("do", DO),
    kw("double", kType, KW_DOUBLE),
    kw("else", ELSE),
    kw("enum", ENUM),
    kw("extern", kStorage, KW_EXTERN),
    kw("float", kType, KW_FLOAT),
    kw("for", FOR),
    kw("goto", GOTO),
    kw("if", IF),
    kw("int", kType, KW_INT),
    kw("long", kType, KW_LONG),
    kw("register", kStorage),
    kw("return", RETURN),
    kw("short", kType, KW_SHORT),
    kw("signed", kType, KW_SIGNED),
    kw("sizeof", SIZEOF),
    kw("static", kStorage, KW_STATIC),
    kw("struct", STRUCT),
    kw("switch", SWITCH),
    kw("typedef", kStorage, KW_TYPEDEF),
    kw("union", UNION),
    kw("unsigned", kType, KW_UNSIGNED),
    kw("void", kType, KW_VOID),
    kw("volatile", VOLATILE),
    kw("while", WHILE),
});

// ---- Differences from the ANSI table -------------------------------------

constexpr std::array<Word, 0> kNothingRemoved{};
constexpr std::array<Keyword, 0> kNothingAdded{};
constexpr auto kWithoutQualifiers = std::to_array<Word>({"const", "signed", "volatile"});
constexpr auto kWithoutAsm = std::to_array<Word>({"asm"});

constexpr auto kC99Added = std::to_array<Keyword>({
    kw("_Bool", kType, KW_BOOL),
    kw("_Complex", kType, KW_COMPLEX),
    kw("_Imaginary", kType, KW_IMAGINARY),
    kw("inline", kStorage, KW_INLINE),
    kw("restrict", kwRESTRICT),
});

constexpr auto kSunAdded = std::to_array<Keyword>({
    kw("std_$call", kStorage),
});

constexpr auto kMccAdded = std::to_array<Keyword>({
    kw("asm", ASM_MCC68K),  // replaces the ANSI entry
    kw("inline", kQualifier, KW_INLINE),
    kw("interrupt", kQualifier),
    kw("packed", kQualifier),
    kw("unpacked", kQualifier),
    kw("typeof", TYPEOF),
});

constexpr auto kGnuAdded = std::to_array<Keyword>({
    kw("__alignof__", ALIGNOF),
    kw("__asm__", ASM),
    kw("__attribute__", ATTRIBUTE),
    kw("__builtin_va_list", kType),
    kw("__const", kwCONST),
    kw("__const__", kwCONST),
    kw("__inline", kQualifier, KW_INLINE),
    kw("__inline__", kQualifier, KW_INLINE),
    kw("inline", kQualifier, KW_INLINE),
    kw("__signed__", kType, KW_SIGNED),
    kw("__typeof__", TYPEOF),
    kw("typeof", TYPEOF),
    kw("__volatile__", VOLATILE),
    // The C99 and C11 words that GNU C accepts in every mode, the other
    // spellings of the words above, and the compiler's own type names:
    // the C library's headers use them.
    kw("_Bool", kType, KW_BOOL),
    kw("_Complex", kType, KW_COMPLEX),
    kw("__complex__", kType, KW_COMPLEX),
    kw("__int128", kType),
    kw("__int128_t", kType),
    kw("__uint128_t", kType),
    kw("_Float16", kType),
    kw("_Float32", kType),
    kw("_Float64", kType),
    kw("_Float128", kType),
    kw("_Float32x", kType),
    kw("_Float64x", kType),
    kw("__float80", kType),
    kw("__float128", kType),
    kw("__auto_type", kType),
    kw("__signed", kType, KW_SIGNED),
    kw("__thread", kStorage),
    kw("_Thread_local", kStorage),
    kw("_Atomic", kQualifier),
    kw("__volatile", VOLATILE),
    kw("__asm", ASM),
    kw("__alignof", ALIGNOF),
    kw("_Alignof", ALIGNOF),
    kw("__typeof", TYPEOF),
    // Built-in functions that take a type name as an argument, and the
    // generic selection of C11, whose associations start with type names.
    kw("__builtin_va_arg", BUILTIN_TYPE_ARG),
    kw("__builtin_offsetof", BUILTIN_TYPE_ARG),
    kw("__builtin_types_compatible_p", BUILTIN_TYPE_ARG),
    kw("__builtin_convertvector", BUILTIN_TYPE_ARG),
    kw("_Generic", BUILTIN_TYPE_ARG),
    // The parts of a complex number, as unary operators.
    kw("__real__", COMPLEX_PART),
    kw("__imag__", COMPLEX_PART),
    kw("__real", COMPLEX_PART),
    kw("__imag", COMPLEX_PART),
});

constexpr auto kMscAdded = std::to_array<Keyword>({
    kw("__based", BASED),       kw("_based", BASED),
    kw("__try", TRY),           kw("_try", TRY),
    kw("__except", EXCEPT),     kw("_except", EXCEPT),
    kw("__finally", FINALLY),   kw("_finally", FINALLY),
    kw("__leave", LEAVE),       kw("_leave", LEAVE),
    kw("__int8", kType),        kw("__int16", kType),
    kw("__int32", kType),       kw("__int64", kType),
    kw("_int8", kType),         kw("_int16", kType),
    kw("_int32", kType),        kw("_int64", kType),
    kw("__cdecl", kQualifier),  kw("_cdecl", kQualifier),
    kw("cdecl", kQualifier),    kw("__fastcall", kQualifier),
    kw("_fastcall", kQualifier), kw("__stdcall", kQualifier),
    kw("_stdcall", kQualifier), kw("__inline", kQualifier, KW_INLINE),
    kw("_inline", kQualifier, KW_INLINE),
});

constexpr auto kMsc15Added = std::to_array<Keyword>({
    kw("__based", BASED),         kw("_based", BASED),
    kw("__segment", kType),       kw("_segment", kType),
    kw("__segname", TYPEOF),      kw("_segname", TYPEOF),
    kw("__cdecl", kQualifier),    kw("_cdecl", kQualifier),
    kw("cdecl", kQualifier),      kw("__export", kQualifier),
    kw("_export", kQualifier),    kw("__far", kQualifier),
    kw("_far", kQualifier),       kw("far", kQualifier),
    kw("__fastcall", kQualifier), kw("_fastcall", kQualifier),
    kw("__fortran", kQualifier),  kw("_fortran", kQualifier),
    kw("__huge", kQualifier),     kw("_huge", kQualifier),
    kw("huge", kQualifier),       kw("__inline", kQualifier, KW_INLINE),
    kw("_inline", kQualifier, KW_INLINE),    kw("__interrupt", kQualifier),
    kw("_interrupt", kQualifier), kw("__loadds", kQualifier),
    kw("_loadds", kQualifier),    kw("__near", kQualifier),
    kw("_near", kQualifier),      kw("near", kQualifier),
    kw("__pascal", kQualifier),   kw("_pascal", kQualifier),
    kw("__saveregs", kQualifier), kw("_saveregs", kQualifier),
});

constexpr auto kIarAdded = std::to_array<Keyword>({
    kw("bit", kType, KW_INT),         kw("sfr", kType, KW_INT),
    kw("sfrp", kType, KW_INT),        kw("interrupt", INTERRUPT),
    kw("ccr_mask", INTERRUPT),        kw("ANSI_main", kQualifier),
    kw("C_task", kQualifier),         kw("banked", kQualifier),
    kw("banked_func", kQualifier),    kw("dir", kQualifier),
    kw("far", kQualifier),            kw("far_func", kQualifier),
    kw("huge", kQualifier),           kw("monitor", kQualifier),
    kw("near", kQualifier),           kw("near_func", kQualifier),
    kw("no_init", kQualifier),        kw("non_banked", kQualifier),
    kw("tiny", kQualifier),           kw("tiny_func", kQualifier),
    kw("version_2", kQualifier),      kw("zpage", kQualifier),
});

// ---- Compile-time derivation ---------------------------------------------

constexpr bool contains(std::span<const Word> words, Word word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

// The number of words of the base without `removed`, plus the added words
// that do not replace a word already present.
constexpr size_t derived_size(std::span<const Keyword> base, std::span<const Word> removed,
                              std::span<const Keyword> added) {
    size_t count = 0;
    for (const Keyword& entry : base)
        if (!contains(removed, entry.text)) ++count;
    for (size_t i = 0; i < added.size(); ++i) {
        bool present = false;
        for (const Keyword& entry : base)
            if (entry.text == added[i].text && !contains(removed, entry.text)) present = true;
        for (size_t j = 0; j < i; ++j)
            if (added[j].text == added[i].text) present = true;
        if (!present) ++count;
    }
    return count;
}

template <size_t N>
constexpr std::array<Keyword, N> derive(std::span<const Keyword> base, std::span<const Word> removed,
                                        std::span<const Keyword> added) {
    std::array<Keyword, N> out{};
    size_t n = 0;
    for (const Keyword& entry : base)
        if (!contains(removed, entry.text)) out[n++] = entry;
    for (const Keyword& entry : added) {
        auto same = std::find_if(out.begin(), out.begin() + n,
                                 [&](const Keyword& k) { return k.text == entry.text; });
        if (same != out.begin() + n)
            *same = entry;
        else
            out[n++] = entry;
    }
    if (n != N) throw std::logic_error("keyword table size");
    std::sort(out.begin(), out.end(),
              [](const Keyword& a, const Keyword& b) { return a.text < b.text; });
    return out;
}

#define QOR_DERIVE_TABLE(base, removed, added) \
    derive<derived_size(base, removed, added)>(base, removed, added)

constexpr auto kAnsi = QOR_DERIVE_TABLE(kAnsiWords, kNothingRemoved, kNothingAdded);
constexpr auto kC99 = QOR_DERIVE_TABLE(kAnsiWords, kNothingRemoved, kC99Added);
constexpr auto kKr78 = QOR_DERIVE_TABLE(kAnsiWords, kWithoutQualifiers, kNothingAdded);
constexpr auto kSun = QOR_DERIVE_TABLE(kAnsiWords, kWithoutQualifiers, kSunAdded);
constexpr auto kMcc = QOR_DERIVE_TABLE(kAnsiWords, kNothingRemoved, kMccAdded);
constexpr auto kMccStd = QOR_DERIVE_TABLE(kAnsiWords, kWithoutQualifiers, kMccAdded);
constexpr auto kGnu = QOR_DERIVE_TABLE(kAnsiWords, kNothingRemoved, kGnuAdded);
constexpr auto kMsc = QOR_DERIVE_TABLE(kAnsiWords, kWithoutAsm, kMscAdded);
constexpr auto kMsc15 = QOR_DERIVE_TABLE(kAnsiWords, kWithoutAsm, kMsc15Added);
constexpr auto kIar = QOR_DERIVE_TABLE(kAnsiWords, kNothingRemoved, kIarAdded);
// HP_ANSI and HP have their own copies of the ANSI and KR78 words.
constexpr auto kHpAnsi = kAnsi;
constexpr auto kHp = kKr78;

#undef QOR_DERIVE_TABLE

static_assert(kAnsi.size() == 33);
static_assert(kC99.size() == 38);
static_assert(kKr78.size() == 30);
static_assert(kSun.size() == 31);
static_assert(kMcc.size() == 38);
static_assert(kMccStd.size() == 35);
static_assert(kGnu.size() == 79);
static_assert(kMsc.size() == 59);
static_assert(kMsc15.size() == 66);
static_assert(kIar.size() == 55);

// A table searched by find_keyword: sorted, without duplicates, with the
// bounds of its word lengths for the first check and, for each first
// character, the range of the words that start with it.
struct TableView {
    std::span<const Keyword> entries;
    size_t min_length;
    size_t max_length;
    std::array<uint8_t, 257> first{};  // words starting with c: [first[c], first[c + 1])
};

constexpr TableView view_of(std::span<const Keyword> entries) {
    TableView view{entries, static_cast<size_t>(-1), 0, {}};
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && !(entries[i - 1].text < entries[i].text)) throw std::logic_error("unsorted table");
        view.min_length = std::min(view.min_length, entries[i].text.size());
        view.max_length = std::max(view.max_length, entries[i].text.size());
    }
    if (view.min_length < 2) throw std::logic_error("keyword shorter than 2 characters");
    size_t next = 0;
    for (size_t c = 0; c <= 256; ++c) {
        while (next < entries.size() && static_cast<unsigned char>(entries[next].text[0]) < c) ++next;
        view.first[c] = static_cast<uint8_t>(next);
    }
    return view;
}

constexpr TableView kAnsiView = view_of(kAnsi);
constexpr TableView kC99View = view_of(kC99);
constexpr TableView kKr78View = view_of(kKr78);
constexpr TableView kSunView = view_of(kSun);
constexpr TableView kHpAnsiView = view_of(kHpAnsi);
constexpr TableView kHpView = view_of(kHp);
constexpr TableView kMccView = view_of(kMcc);
constexpr TableView kMccStdView = view_of(kMccStd);
constexpr TableView kGnuView = view_of(kGnu);
constexpr TableView kMscView = view_of(kMsc);
constexpr TableView kMsc15View = view_of(kMsc15);
constexpr TableView kIarView = view_of(kIar);

constexpr const TableView& table_view(KeywordTable table) {
    switch (table) {
        case KeywordTable::ANSI: return kAnsiView;
        case KeywordTable::KR78: return kKr78View;
        case KeywordTable::SUN: return kSunView;
        case KeywordTable::HP_ANSI: return kHpAnsiView;
        case KeywordTable::HP: return kHpView;
        case KeywordTable::MCC: return kMccView;
        case KeywordTable::MCC_STD: return kMccStdView;
        case KeywordTable::GNU: return kGnuView;
        case KeywordTable::MSC15: return kMsc15View;
        case KeywordTable::MSC: return kMscView;
        case KeywordTable::IAR: return kIarView;
        case KeywordTable::C99: return kC99View;
    }
    return kAnsiView;
}

}  // namespace

const Keyword* find_keyword(KeywordTable table, std::string_view word) {
    const TableView& view = table_view(table);
    if (word.size() < 2 || word.size() < view.min_length || word.size() > view.max_length) return nullptr;
    auto c = static_cast<unsigned char>(word[0]);
    auto begin = view.entries.begin() + view.first[c];
    auto end = view.entries.begin() + view.first[c + 1];
    for (auto it = begin; it != end; ++it)
        if (it->text == word) return &*it;
    return nullptr;
}

size_t keyword_count(KeywordTable table) { return table_view(table).entries.size(); }

std::span<const Keyword> keywords(KeywordTable table) { return table_view(table).entries; }

namespace {

constexpr C23Word respelled(Word text, Word older) { return C23Word{text, older, {}}; }
constexpr C23Word added(Word text, int token, uint32_t flags = 0) { return C23Word{text, {}, kw(text, token, flags)}; }

// true, false and nullptr are constants, as the macros of <stdbool.h> that
// they replace were; constexpr is a storage class; _BitInt(N) names a type
// as typeof (T) does.
constexpr auto kC23Words = std::to_array<C23Word>({
    respelled("alignas", "_Alignas"),
    respelled("alignof", "_Alignof"),
    respelled("bool", "_Bool"),
    respelled("static_assert", "_Static_assert"),
    respelled("thread_local", "_Thread_local"),
    added("true", CONSTANT),
    added("false", CONSTANT),
    added("nullptr", CONSTANT),
    added("constexpr", kStorage),
    added("typeof", TYPEOF),
    added("typeof_unqual", TYPEOF),
    added("_BitInt", TYPEOF),
    added("_Decimal32", kType),
    added("_Decimal64", kType),
    added("_Decimal128", kType),
});

}  // namespace

const C23Word* find_c23_word(std::string_view word) {
    for (const C23Word& entry : kC23Words)
        if (entry.text == word) return &entry;
    return nullptr;
}

}  // namespace qor
