// Evaluation of the expression of an #if or #elif line: an operator-precedence
// evaluator with short-circuit skipping, sizeof(type) over a configurable size
// table and _argt$(type), which gives a small code for an argument type.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "preprocessor/char_source.hpp"

namespace qor {

// The sizes that sizeof() uses in #if, in the order of the size table:
// char, short, int, long, float, double, pointer to function, void.
struct SizeTable {
    std::array<int, 8> object{1, 2, 4, 4, 4, 8, 0, 0};
    std::array<int, 8> pointer{4, 4, 4, 4, 4, 4, 4, 4};
};

// Applies the text after "-S" of a -S option ("*4,4" or "1,2,4"): without '*'
// the object sizes of the first six rows, with '*' the pointer sizes of all
// rows; numbers separated by any non-digit characters. Rows without a number
// keep their size; numbers beyond the last row are ignored.
void apply_size_option(SizeTable& sizes, std::string_view value);

// What the evaluator needs from the preprocessor beyond characters.
class ExpressionInput : public CharSource {
public:
    virtual bool is_macro(const std::string& name) = 0;          // a defined macro
    virtual bool expand_macro(const std::string& name) = 0;      // pushes the expansion text as new input; false when not expanded
    virtual bool is_asserted(const std::string& predicate) = 0;  // e.g. "machine(i386)"
};

// Macro expansions allowed in one expression. Past it a macro name is read
// as a plain identifier, so an expansion that never ends cannot hang #if.
inline constexpr int kMaxIfExpansions = 100000;

// Evaluates the rest of the current line (up to, not including, the newline,
// which is pushed back) and returns the 32-bit value; 1 after any error
// message of severity 2. Messages go through input.report(severity, text).
int32_t eval_if(ExpressionInput& input, const SizeTable& sizes);

}  // namespace qor
