#include "preprocessor/if_expression.hpp"

#include <array>
#include <climits>
#include <optional>
#include <vector>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "preprocessor/macro_table.hpp"

namespace qor {

void apply_size_option(SizeTable& sizes, std::string_view value) {
    size_t pos = value.find_first_not_of(" \t");
    bool pointer_sizes = pos != std::string_view::npos && value[pos] == '*';
    std::array<int, 8>& row_sizes = pointer_sizes ? sizes.pointer : sizes.object;
    size_t rows = pointer_sizes ? sizes.pointer.size() : 6;

    size_t row = 0;
    size_t i = 0;
    while (row < rows && i < value.size()) {
        if (value[i] < '0' || value[i] > '9') {
            ++i;
            continue;
        }
        long long number = 0;
        for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
            if (number < INT_MAX) number = number * 10 + (value[i] - '0');
        }
        row_sizes[row++] = number > INT_MAX ? INT_MAX : static_cast<int>(number);
    }
}

namespace {

// Token and operator codes; the numbering is the one the operator table and
// the messages follow.
enum Op : int {
    OpEnd,
    OpValue,
    OpIdentifier,
    OpAdd,
    OpSub,
    OpMul,
    OpDiv,
    OpMod,
    OpShiftLeft,
    OpShiftRight,
    OpBitAnd,
    OpBitOr,
    OpBitXor,
    OpEqual,
    OpNotEqual,
    OpLess,
    OpLessEqual,
    OpGreaterEqual,
    OpGreater,
    OpLogicalAnd,
    OpLogicalOr,
    OpQuestion,
    OpColon,
    OpComma,
    OpUnaryPlus,
    OpUnaryMinus,
    OpComplement,
    OpNot,
    OpLeftParen,
    OpRightParen,
    OpBottom,
    OpFailure,  // an error was already reported (or a silent failure while skipping)
};

struct OperatorInfo {
    std::string_view name;
    int priority;
    bool binary;       // needs a value on its left
    bool value_after;  // a value is present after it
};

constexpr std::array<OperatorInfo, OpBottom + 1> kOperators = {{
    {"end of expression", 0, true, false},
    {"val", 0, false, true},
    {"id", 0, false, false},
    {"+", 14, true, false},
    {"-", 14, true, false},
    {"*", 15, true, false},
    {"/", 15, true, false},
    {"%", 15, true, false},
    {"<<", 13, true, false},
    {">>", 13, true, false},
    {"&", 10, true, false},
    {"|", 8, true, false},
    {"^", 9, true, false},
    {"==", 11, true, false},
    {"!=", 11, true, false},
    {"<", 12, true, false},
    {"<=", 12, true, false},
    {">=", 12, true, false},
    {">", 12, true, false},
    {"&&", 7, true, false},
    {"||", 6, true, false},
    {"?", 5, true, false},
    {":", 5, true, false},
    {",", 3, true, false},
    {"unary +", 16, false, false},
    {"unary -", 16, false, false},
    {"~", 16, false, false},
    {"!", 16, false, false},
    {"(", 17, false, false},
    {")", 1, true, true},
    {"(none)", 2, false, false},
}};

// The priority an operator keeps on the stack: '(' lets everything above it
// be pushed, '?' sits below ':' so that ':' is pushed onto it.
int stacked_priority(Op op) {
    if (op == OpLeftParen) return 1;
    if (op == OpQuestion) return 4;
    return kOperators[op].priority;
}

constexpr size_t kOperatorStackSize = 128;  // including the bottom marker
constexpr size_t kValueStackSize = 127;

// Skip bits of an operator stack entry.
constexpr int kSkipUntakenBranch = 1;  // inside the branch of ?: that is not taken
constexpr int kSkipShortCircuit = 2;   // right side of a decided && or ||

// Type bits of sizeof and _argt$.
constexpr int kChar = 0x001;
constexpr int kInt = 0x002;
constexpr int kFloat = 0x004;
constexpr int kDouble = 0x008;
constexpr int kShort = 0x010;
constexpr int kLong = 0x020;
constexpr int kSigned = 0x040;
constexpr int kUnsigned = 0x080;
constexpr int kPointer = 0x100;
constexpr int kFunctionPointer = 0x200;
constexpr int kVoid = 0x400;

std::optional<int> type_name_bits(std::string_view word) {
    struct TypeName {
        std::string_view name;
        int bits;
    };
    static constexpr TypeName kTypeNames[] = {
        {"char", kChar},   {"int", kInt},       {"float", kFloat},       {"double", kDouble}, {"short", kShort},
        {"long", kLong},   {"signed", kSigned}, {"unsigned", kUnsigned}, {"void", kVoid},
    };
    for (const TypeName& type : kTypeNames) {
        if (type.name == word) return type.bits;
    }
    return std::nullopt;
}

// In each mask at most one bit may be set: "long double", "short char",
// "unsigned float" and the like are refused.
bool forbidden_combination(int bits) {
    constexpr int kExclusiveMasks[] = {kFloat | kDouble | kShort | kLong, kChar | kInt | kFloat | kDouble,
                                       kFloat | kDouble | kSigned | kUnsigned, kChar | kShort | kLong};
    for (int mask : kExclusiveMasks) {
        int set = bits & mask;
        if ((set & (set - 1)) != 0) return true;
    }
    return false;
}

// Rows of the size table, in SizeTable order.
constexpr int kSizeRows[] = {kChar, kShort, kInt, kLong, kFloat, kDouble, kFunctionPointer, kVoid};

std::optional<int> size_of_type(int bits, const SizeTable& sizes) {
    if (bits & kFunctionPointer) {
        bits = kFunctionPointer | kPointer;
    } else {
        bits &= ~(kSigned | kUnsigned);
        if (bits & (kShort | kLong)) bits &= ~kInt;
    }
    bool pointer = (bits & kPointer) != 0;
    bits &= ~kPointer;
    for (size_t row = 0; row < std::size(kSizeRows); ++row) {
        if (kSizeRows[row] == bits) return pointer ? sizes.pointer[row] : sizes.object[row];
    }
    return std::nullopt;
}

// _argt$ codes are the 1-based positions in this list.
constexpr int kArgumentTypes[] = {
    kUnsigned | kChar, kChar, kUnsigned | kShort, kShort, kUnsigned | kInt, kInt,
    kUnsigned | kLong, kLong, kFloat,             kDouble, kLong | kDouble, kPointer,
};

std::optional<int> argument_type_code(int bits) {
    if (bits & (kShort | kLong)) bits &= ~kInt;
    if (bits & (kPointer | kFunctionPointer)) bits = kPointer;
    for (size_t i = 0; i < std::size(kArgumentTypes); ++i) {
        if (kArgumentTypes[i] == bits) return static_cast<int>(i + 1);
    }
    return std::nullopt;
}

// Not the blanks of the other directives: the expression reader has always
// taken the '\r' of a DOS line end as a blank and a backspace as none. The
// token separator is what the macro expander writes between tokens.
bool is_blank(int c) { return (is_ascii_space(c) && c != '\n') || c == kTokenSeparator; }

bool is_line_end(int c) { return c == '\n' || c == kEndOfInput; }

bool is_digit(int c) { return is_ascii_digit(c); }


// The value of c as a digit of base, or -1.
int digit_value(int c, int base) {
    int value = -1;
    if (is_digit(c)) {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

struct ExprToken {
    Op op;
    int32_t value = 0;
};

struct StackEntry {
    Op op;
    int priority;
    int skip;
};

// sizeof and _argt$ share the type parser and differ in the result and in
// the replacement identifier used for what they do not support.
struct TypeOperator {
    std::string_view replacement;
    std::string_view warning;
    bool is_sizeof;
};

constexpr TypeOperator kSizeof{
    "__ON_SIZEOF_NOT_SUPPORTED__",
    "not supported #if ... sizeof() syntax (replaced by __ON_SIZEOF_NOT_SUPPORTED__)",
    true,
};
constexpr TypeOperator kArgumentType{
    "__ON_ARGTDOLLAR_NOT_SUPPORTED__",
    "not supported #if ... argt$() syntax (replaced by __ON_ARGTDOLLAR_NOT_SUPPORTED__)",
    false,
};

class IfExpressionEvaluator {
public:
    IfExpressionEvaluator(ExpressionInput& input, const SizeTable& sizes) : input_(input), sizes_(sizes) {}

    int32_t evaluate();

private:
    enum class Reduction { Push, Drop, Finished, Failed };

    // Token reader.
    ExprToken read_token(bool skip);
    std::optional<ExprToken> identifier_token(const std::string& name);
    ExprToken operator_token(int c, bool skip);
    ExprToken two_char_operator(int second, Op pair, Op single);
    bool expand_if_macro(const std::string& name);
    std::string read_identifier(int first);
    int skip_blanks();
    int32_t read_number(int first);
    int32_t read_char_constant();
    uint32_t read_escape();
    ExprToken read_defined();
    ExprToken read_has_c_attribute();
    ExprToken read_predicate();
    std::optional<int32_t> read_type_operator(const TypeOperator& kind);
    std::optional<int> read_type_bits();
    bool read_function_pointer(int& depth);
    bool expect_char(int wanted, int& depth);
    void skip_to_close(int depth);

    // Evaluation.
    Reduction reduce(Op op);
    bool push_operator(Op op);
    void apply(Op op, int skip);
    void apply_binary(Op op, int skip);
    int32_t pop_value();

    void error(std::string_view text);
    void warning(std::string_view text) { input_.report(MSG_WARNING, text); }

    ExpressionInput& input_;
    const SizeTable& sizes_;
    std::vector<StackEntry> operators_;
    std::vector<int32_t> values_;
    int expansions_ = 0;
    bool error_reported_ = false;
};

void IfExpressionEvaluator::error(std::string_view text) {
    error_reported_ = true;
    input_.report(MSG_ERROR, text);
}

int IfExpressionEvaluator::skip_blanks() {
    int c = input_.read_char();
    while (is_blank(c)) c = input_.read_char();
    return c;
}

std::string IfExpressionEvaluator::read_identifier(int first) {
    std::string name(1, static_cast<char>(first));
    int c = input_.read_char();
    for (; is_c_identifier_char(c); c = input_.read_char()) name += static_cast<char>(c);
    input_.unread_char(c);
    return name;
}

bool IfExpressionEvaluator::expand_if_macro(const std::string& name) {
    if (expansions_ >= kMaxIfExpansions || !input_.is_macro(name)) return false;
    ++expansions_;
    return input_.expand_macro(name);
}

ExprToken IfExpressionEvaluator::read_token(bool skip) {
    for (;;) {
        int c = skip_blanks();
        if (is_line_end(c)) {
            input_.unread_char(c);
            return {OpEnd};
        }
        if (is_c_identifier_start(c)) {
            std::string name = read_identifier(c);
            if (expand_if_macro(name)) continue;
            if (auto token = identifier_token(name)) return *token;
            // An unsupported sizeof or _argt$ pushed its replacement
            // identifier, which is read as the token, quietly.
            skip = true;
            continue;
        }
        if (is_digit(c)) return {OpValue, read_number(c)};
        if (c == '\\') {
            int next = input_.read_char();
            if (next == '\n') continue;  // line continuation
            input_.unread_char(next);
            error("Unexpected \\ in #if");
            return {OpFailure};
        }
        return operator_token(c, skip);
    }
}

std::optional<ExprToken> IfExpressionEvaluator::identifier_token(const std::string& name) {
    if (name == "defined") return read_defined();
    if (name == "__has_c_attribute") return read_has_c_attribute();
    if (name == "sizeof" || name == "_argt$") {
        std::optional<int32_t> value = read_type_operator(name == "sizeof" ? kSizeof : kArgumentType);
        if (!value) return std::nullopt;
        return ExprToken{OpValue, *value};
    }
    return ExprToken{OpValue, 0};
}

ExprToken IfExpressionEvaluator::two_char_operator(int second, Op pair, Op single) {
    int c = input_.read_char();
    if (c == second) return {pair};
    input_.unread_char(c);
    return {single};
}

ExprToken IfExpressionEvaluator::operator_token(int c, bool skip) {
    switch (c) {
    case '+': return {OpAdd};
    case '-': return {OpSub};
    case '*': return {OpMul};
    case '/': return {OpDiv};
    case '%': return {OpMod};
    case '^': return {OpBitXor};
    case '?': return {OpQuestion};
    case ':': return {OpColon};
    case ',': return {OpComma};
    case '~': return {OpComplement};
    case '(': return {OpLeftParen};
    case ')': return {OpRightParen};
    case '!': return two_char_operator('=', OpNotEqual, OpNot);
    case '&': return two_char_operator('&', OpLogicalAnd, OpBitAnd);
    case '|': return two_char_operator('|', OpLogicalOr, OpBitOr);
    case '<': {
        int next = input_.read_char();
        if (next == '=') return {OpLessEqual};
        if (next == '<') return {OpShiftLeft};
        input_.unread_char(next);
        return {OpLess};
    }
    case '>': {
        int next = input_.read_char();
        if (next == '=') return {OpGreaterEqual};
        if (next == '>') return {OpShiftRight};
        input_.unread_char(next);
        return {OpGreater};
    }
    case '=': {
        int next = input_.read_char();
        if (next == '=') return {OpEqual};
        input_.unread_char(next);
        error("= not allowed in #if");
        return {OpFailure};
    }
    case '\'': return {OpValue, read_char_constant()};
    case '"':
        error("can't use a string in an #if");
        return {OpFailure};
    case '#': return read_predicate();
    default: break;
    }
    if (!skip) {
        if (c >= 0x20 && c < 0x7f) {
            error(std::string("illegal character '") + static_cast<char>(c) + "' in #if");
        } else {
            error("illegal character (" + std::to_string(c) + " decimal) in #if");
        }
    }
    return {OpFailure};
}

int32_t IfExpressionEvaluator::read_number(int first) {
    int base = 10;
    int c = first;
    if (first == '0') {
        base = 8;
        c = input_.read_char();
        if (c == 'x' || c == 'X') {
            base = 16;
            c = input_.read_char();
        }
    }
    uint32_t value = 0;
    for (int digit = digit_value(c, base); digit >= 0; digit = digit_value(c, base)) {
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
        c = input_.read_char();
    }
    while (c == 'u' || c == 'U' || c == 'l' || c == 'L') c = input_.read_char();
    input_.unread_char(c);
    return static_cast<int32_t>(value);
}

// The first character of a constant: its escape value, or its code.
uint32_t IfExpressionEvaluator::read_escape() {
    int c = input_.read_char();
    switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: break;
    }
    if (is_line_end(c)) {
        input_.unread_char(c);
        return 0;
    }
    uint32_t value = 0;
    int base = 0;
    if (c == 'x') {
        base = 16;
        c = input_.read_char();
    } else if (c >= '0' && c <= '7') {
        base = 8;
    } else {
        return static_cast<uint32_t>(c);
    }
    for (int count = 0; count < 3 && digit_value(c, base) >= 0; ++count) {
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit_value(c, base));
        c = input_.read_char();
    }
    input_.unread_char(c);
    return value;
}

// After the opening quote. The constant ends at the closing quote, which is
// consumed, or before the end of the line, which stays for the expression.
// An empty constant '' is 0 and the expression goes on after it.
int32_t IfExpressionEvaluator::read_char_constant() {
    input_.set_in_literal(true);
    uint32_t value = 0;
    int c = input_.read_char();
    if (c == '\'') {
        input_.set_in_literal(false);
        return 0;
    }
    if (c == '\\') {
        value = read_escape();
    } else if (is_line_end(c)) {
        input_.unread_char(c);
    } else {
        value = static_cast<uint32_t>(c);
    }
    for (c = input_.read_char(); c != '\'' && !is_line_end(c); c = input_.read_char()) {
        value = value * 256 + static_cast<uint32_t>(c);
    }
    if (c != '\'') input_.unread_char(c);
    input_.set_in_literal(false);
    return static_cast<int32_t>(value);
}

// "defined name" or "defined(name)"; the name is never expanded.
ExprToken IfExpressionEvaluator::read_defined() {
    int c = skip_blanks();
    bool parenthesised = c == '(';
    if (parenthesised) c = skip_blanks();
    if (is_c_identifier_start(c)) {
        int32_t defined = input_.is_macro(read_identifier(c)) ? 1 : 0;
        if (!parenthesised) return {OpValue, defined};
        c = skip_blanks();
        if (c == ')') return {OpValue, defined};
    }
    input_.unread_char(c);
    error("bad #if ... defined() syntax");
    return {OpFailure};
}

// "__has_c_attribute(name)" or "(prefix::name)": the date of the standard
// attribute in C23, 0 for any other attribute (no vendor attribute is
// known here).
ExprToken IfExpressionEvaluator::read_has_c_attribute() {
    static constexpr std::array<std::pair<std::string_view, int32_t>, 8> kStandardAttributes = {{
        {"deprecated", 201904}, {"fallthrough", 201910}, {"maybe_unused", 202106}, {"nodiscard", 202003},
        {"noreturn", 202202}, {"_Noreturn", 202202}, {"unsequenced", 202207}, {"reproducible", 202207},
    }};
    int c = skip_blanks();
    const bool opened = c == '(';
    if (opened) c = skip_blanks();
    std::string name;
    bool prefixed = false;
    while (is_c_identifier_start(c)) {
        name = read_identifier(c);
        c = skip_blanks();
        if (c != ':' || input_.read_char() != ':') break;
        prefixed = true;
        c = skip_blanks();
    }
    if (!opened || name.empty() || c != ')') {
        input_.unread_char(c);
        error("bad #if ... __has_c_attribute() syntax");
        return {OpFailure};
    }
    int32_t date = 0;
    for (const auto& [attribute, since] : kStandardAttributes)
        if (!prefixed && attribute == name) date = since;
    return {OpValue, date};
}

// "#name(text)": 1 when the predicate "name(text)" has been asserted. A
// malformed predicate fails without a message of its own.
ExprToken IfExpressionEvaluator::read_predicate() {
    int c = skip_blanks();
    if (!is_c_identifier_start(c)) {
        input_.unread_char(c);
        return {OpFailure};
    }
    std::string predicate = read_identifier(c);
    c = skip_blanks();
    if (c != '(') {
        input_.unread_char(c);
        return {OpFailure};
    }
    predicate += '(';
    for (int depth = 1; depth > 0;) {
        c = input_.read_char();
        if (is_line_end(c)) {
            input_.unread_char(c);
            return {OpFailure};
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
        predicate += static_cast<char>(c);
    }
    return {OpValue, input_.is_asserted(predicate) ? 1 : 0};
}

// Reads "(type)" after sizeof or _argt$. What is not supported pushes the
// replacement identifier back into the input with a warning and gives
// nullopt: the caller then reads that identifier as the token.
std::optional<int32_t> IfExpressionEvaluator::read_type_operator(const TypeOperator& kind) {
    int c = skip_blanks();
    std::optional<int> result;
    if (c == '(') {
        if (std::optional<int> bits = read_type_bits()) {
            result = kind.is_sizeof ? size_of_type(*bits, sizes_) : argument_type_code(*bits);
        }
    } else {
        input_.unread_char(c);
    }
    if (result) return *result;
    // The blank keeps the identifier apart from what follows it.
    input_.unread_text(std::string(kind.replacement) + " ");
    warning(kind.warning);
    return std::nullopt;
}

// The type bits of the words up to the closing parenthesis, or nullopt for
// an unknown word, a stray character or a forbidden combination.
std::optional<int> IfExpressionEvaluator::read_type_bits() {
    int bits = 0;
    for (;;) {
        int c = skip_blanks();
        if (is_line_end(c)) {
            input_.unread_char(c);
            return std::nullopt;
        }
        if (c == ')') break;
        if (is_c_identifier_start(c)) {
            std::string word = read_identifier(c);
            if (expand_if_macro(word)) continue;
            std::optional<int> type_bits = type_name_bits(word);
            if (!type_bits) {
                skip_to_close(1);
                return std::nullopt;
            }
            bits |= *type_bits;
        } else if (c == '*') {
            bits |= kPointer;
        } else if (c == '(') {
            int depth = 2;
            if (!read_function_pointer(depth)) {
                skip_to_close(depth);
                return std::nullopt;
            }
            bits |= kFunctionPointer;
        } else {
            skip_to_close(1);
            return std::nullopt;
        }
    }
    if (forbidden_combination(bits)) return std::nullopt;
    return bits;
}

// "*)()" after the '(' of "(*)()". depth follows the parentheses read, so
// that a mismatch can skip to the closing parenthesis of the type.
bool IfExpressionEvaluator::read_function_pointer(int& depth) {
    return expect_char('*', depth) && expect_char(')', depth) && expect_char('(', depth) && expect_char(')', depth);
}

bool IfExpressionEvaluator::expect_char(int wanted, int& depth) {
    int c = skip_blanks();
    if (is_line_end(c)) {
        input_.unread_char(c);
        return false;
    }
    if (c == '(') ++depth;
    if (c == ')') --depth;
    return c == wanted;
}

// Reads up to the parenthesis that closes `depth` open ones, or up to the
// end of the line, which stays unread.
void IfExpressionEvaluator::skip_to_close(int depth) {
    while (depth > 0) {
        int c = input_.read_char();
        if (is_line_end(c)) {
            input_.unread_char(c);
            return;
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
    }
}

int32_t IfExpressionEvaluator::pop_value() {
    // The context checks keep a value for every operand; the guard only
    // keeps a broken invariant from reading outside the stack.
    if (values_.empty()) return 0;
    int32_t value = values_.back();
    values_.pop_back();
    return value;
}

void IfExpressionEvaluator::apply(Op op, int skip) {
    switch (op) {
    case OpUnaryPlus: return;
    case OpUnaryMinus:
    case OpComplement:
    case OpNot: {
        if (values_.empty()) return;
        uint32_t value = static_cast<uint32_t>(values_.back());
        if (op == OpUnaryMinus) value = 0u - value;
        if (op == OpComplement) value = ~value;
        if (op == OpNot) value = value == 0 ? 1 : 0;
        values_.back() = static_cast<int32_t>(value);
        return;
    }
    default: apply_binary(op, skip);
    }
}

void IfExpressionEvaluator::apply_binary(Op op, int skip) {
    int32_t right = pop_value();
    int32_t left = pop_value();
    uint32_t a = static_cast<uint32_t>(left);
    uint32_t b = static_cast<uint32_t>(right);
    uint32_t result = 0;
    switch (op) {
    case OpAdd: result = a + b; break;
    case OpSub: result = a - b; break;
    case OpMul: result = a * b; break;
    case OpDiv:
    case OpMod:
        if (right == 0) {
            if (!skip) warning(std::string(op == OpDiv ? "divide" : "mod") + " by zero in #if, zero result assumed");
        } else if (left == INT32_MIN && right == -1) {
            // The quotient does not fit: keep the wrapped value, remainder 0.
            result = op == OpDiv ? a : 0;
        } else {
            result = static_cast<uint32_t>(op == OpDiv ? left / right : left % right);
        }
        break;
    case OpShiftLeft: result = a << (b & 31); break;
    case OpShiftRight: result = static_cast<uint32_t>(left >> (b & 31)); break;
    case OpBitAnd: result = a & b; break;
    case OpBitOr: result = a | b; break;
    case OpBitXor: result = a ^ b; break;
    case OpEqual: result = left == right; break;
    case OpNotEqual: result = left != right; break;
    case OpLess: result = left < right; break;
    case OpLessEqual: result = left <= right; break;
    case OpGreaterEqual: result = left >= right; break;
    case OpGreater: result = left > right; break;
    case OpLogicalAnd: result = left != 0 && right != 0; break;
    case OpLogicalOr: result = left != 0 || right != 0; break;
    case OpColon: {
        int32_t condition = pop_value();
        result = static_cast<uint32_t>(condition != 0 ? left : right);
        break;
    }
    default: error("syntax error : unknown operator"); break;
    }
    values_.push_back(static_cast<int32_t>(result));
}

// Applies the stacked operators that bind at least as tightly as op.
IfExpressionEvaluator::Reduction IfExpressionEvaluator::reduce(Op op) {
    const int priority = kOperators[op].priority;
    while (priority <= operators_.back().priority) {
        const StackEntry top = operators_.back();
        switch (top.op) {
        case OpBottom: return op == OpEnd ? Reduction::Finished : Reduction::Drop;
        case OpQuestion: return Reduction::Drop;
        case OpLeftParen:
            if (op != OpRightParen) {
                error("unbalanced paren's, op is \"" + std::string(kOperators[op].name) + "\"");
                return Reduction::Failed;
            }
            operators_.pop_back();
            return Reduction::Drop;
        case OpColon: {
            Op below = operators_[operators_.size() - 2].op;
            if (below != OpQuestion) {
                error("misplaced '?' or ':', previous operator is " + std::string(kOperators[below].name));
                return Reduction::Failed;
            }
            operators_.pop_back();
            operators_.pop_back();
            apply(OpColon, top.skip);
            break;
        }
        default:
            operators_.pop_back();
            apply(top.op, top.skip);
            break;
        }
    }
    return Reduction::Push;
}

bool IfExpressionEvaluator::push_operator(Op op) {
    if (operators_.size() >= kOperatorStackSize) {
        error("expression stack overflow at op \"" + std::string(kOperators[op].name) + "\"");
        return false;
    }
    const StackEntry& below = operators_.back();
    int skip = below.skip;
    bool left_true = !values_.empty() && values_.back() != 0;
    if ((op == OpLogicalAnd && !left_true) || (op == OpLogicalOr && left_true)) {
        skip |= kSkipShortCircuit;
    } else if (op == OpQuestion && !left_true) {
        skip |= kSkipUntakenBranch;
    } else if (op == OpColon) {
        // The other branch of the '?' below; inside an untaken branch of an
        // enclosing ?: both branches stay skipped.
        int enclosing = operators_.size() >= 2 ? operators_[operators_.size() - 2].skip : 0;
        skip = (below.skip & kSkipShortCircuit) | (enclosing & kSkipUntakenBranch) |
               ((below.skip & kSkipUntakenBranch) ^ kSkipUntakenBranch);
    }
    operators_.push_back({op, stacked_priority(op), skip});
    return true;
}

int32_t IfExpressionEvaluator::evaluate() {
    operators_.push_back({OpBottom, 2, 0});
    bool have_value = false;
    Op previous = OpBottom;
    for (;;) {
        ExprToken token = read_token(operators_.back().skip != 0);
        Op op = token.op;
        if (op == OpSub && !have_value) op = OpUnaryMinus;
        if (op == OpAdd && !have_value) op = OpUnaryPlus;
        if (op == OpFailure) return 1;

        if (op == OpValue) {
            if (have_value && previous != OpRightParen) {
                error("misplaced constant in #if");
                return 1;
            }
            if (have_value) {
                values_.back() = token.value;  // "(type) value": the parenthesised part was a cast
            } else if (values_.size() >= kValueStackSize) {
                error("#if value stack overflow");
                return 1;
            } else {
                values_.push_back(token.value);
            }
            have_value = true;
            previous = OpValue;
            continue;
        }

        if (op >= OpBottom || op == OpIdentifier) {
            error("Illegal #if line");
            return 1;
        }
        const OperatorInfo& info = kOperators[op];
        if (previous == OpRightParen && !info.binary) {
            if (!values_.empty()) values_.pop_back();  // "(type)~x", "(type)(x)": a cast
        } else if (info.binary != have_value) {
            error("operator " + std::string(info.name) + " in incorrect context");
            return 1;
        }
        have_value = info.value_after;
        previous = op;

        // A prefix operator has no operand yet, so nothing on the stack can
        // be applied before it: "- -1" and "!!x" nest to the right.
        Reduction reduction = info.binary ? reduce(op) : Reduction::Push;
        if (reduction == Reduction::Failed) return 1;
        if (reduction == Reduction::Finished) return error_reported_ || values_.empty() ? 1 : values_.back();
        if (reduction == Reduction::Push && !push_operator(op)) return 1;
    }
}

}  // namespace

int32_t eval_if(ExpressionInput& input, const SizeTable& sizes) {
    return IfExpressionEvaluator(input, sizes).evaluate();
}

}  // namespace qor
