#include "preprocessor/if_expression.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "string_source.hpp"

namespace qor {
namespace {

// The rest of an #if line with a small macro table and assertion set.
class FakeInput : public ExpressionInput {
public:
    explicit FakeInput(std::string text) : source(std::move(text)) {}

    int read_char() override { return source.read_char(); }
    void unread_char(int c) override { source.unread_char(c); }
    void unread_text(std::string_view text) override { source.unread_text(text); }
    void set_in_literal(bool on) override { source.set_in_literal(on); }
    void report(int severity, std::string_view message) override { source.report(severity, message); }

    bool is_macro(const std::string& name) override { return macros.count(name) || unexpandable.count(name); }
    bool expand_macro(const std::string& name) override {
        auto it = macros.find(name);
        if (it == macros.end()) return false;
        ++expansions;
        source.unread_text(it->second);
        return true;
    }
    bool is_asserted(const std::string& predicate) override { return assertions.count(predicate) != 0; }

    test::StringSource source;
    std::map<std::string, std::string> macros;
    std::set<std::string> unexpandable;  // defined, but expand_macro declines
    std::set<std::string> assertions;
    int expansions = 0;
};

struct Outcome {
    int32_t value;
    std::vector<std::string> messages;
    std::string rest;
};

Outcome evaluate(const std::string& line, std::map<std::string, std::string> macros = {},
                 const SizeTable& sizes = {}) {
    FakeInput input(line + "\nnext");
    input.macros = std::move(macros);
    input.assertions = {"machine(i386)", "cpu(a (b) c)"};
    input.unexpandable = {"FN"};
    int32_t value = eval_if(input, sizes);
    EXPECT_FALSE(input.source.in_literal) << line;
    return {value, input.source.messages, input.source.rest()};
}

struct ValueCase {
    const char* line;
    int32_t value;
};

TEST(IfExpression, ComputesSilently) {
    const ValueCase cases[] = {
        {"1 | 1 ^ 1", 1},  {"~0 == -1", 1},        {"2 + 3 * 4 == 14", 1}, {"1 << 4 >> 2", 4},
        {"-8 >> 1", -4},   {"1 << 33", 2},         {"-7 / 2", -3},         {"-7 % 2", -1},
        {"- -1", 1},       {"!!5", 1},             {"-~0", 1},             {"!0 + !7", 1},
        {"3 > 2 && 2 >= 2 && 1 < 2 && 2 <= 2 && 1 != 2", 1},               {"0 || 0", 0},
        {"2 * 0x7fffffff", -2},                    {"0x7fffffff + 1", INT32_MIN},
        {"0x80000000 / -1", INT32_MIN},            {"0x80000000 % -1", 0},
        {"0x1F + 010", 39}, {"10UL + 0Xa", 20},    {"0xffffffff", -1},     {"4294967297", 1},
        {"1 ? 2 : 3", 2},  {"0 ? 2 : 3", 3},       {"1 ? 0 : 1 ? 5 : 6", 6},  // ?: groups to the left
        {"(long)5 == 5", 1}, {"(int)-3", -3},      {"(char)~0", -1},       {"(1)(2)", 2},
        {"'ab' == 0x6162", 1}, {"'\\n' + '\\x41' + '\\101'", 140}, {"'\\''", 39}, {"'\\q'", 'q'},
        {"'' == 0", 1},    {"'a", 'a'},            {"1 + \\\n 2", 3},      {"\x02 1\t+\v2\f\r", 3},
        {"defined X && X", 0}, {"defined M + defined(M) + defined ( M )", 3},
        {"M * 2", 6},      {"N", 3},               {"FN + 1", 1},
        {"#machine(i386)", 1}, {"# machine (i386) && #machine(x86) == 0", 1}, {"#cpu(a (b) c)", 1},
        {"0 && 1/0", 0},   {"1 || 1 % 0", 1},      {"0 ? 1/0 : 2", 2},     {"1 ? 2 : 1/0", 2},
        {"0 ? (1 ? 1/0 : 1/0) : 3", 3},            {"1 ) + 1", 2},
    };
    for (const ValueCase& c : cases) {
        Outcome out = evaluate(c.line, {{"M", "3"}, {"N", "M"}});
        EXPECT_EQ(out.value, c.value) << c.line;
        EXPECT_TRUE(out.messages.empty()) << c.line << ": " << (out.messages.empty() ? "" : out.messages[0]);
        EXPECT_EQ(out.rest, "\nnext") << c.line;
    }
}

// The dates of C23's standard attributes; vendor and unknown ones are 0.
TEST(IfExpression, HasCAttribute) {
    const ValueCase cases[] = {
        {"__has_c_attribute(nodiscard) == 202003L", 1}, {"__has_c_attribute ( deprecated )", 201904},
        {"__has_c_attribute(_Noreturn)", 202202},       {"__has_c_attribute(gnu::nodiscard)", 0},
        {"__has_c_attribute(no_such) || 2", 1},
    };
    for (const ValueCase& c : cases) {
        Outcome outcome = evaluate(c.line);
        EXPECT_EQ(outcome.value, c.value) << c.line;
        EXPECT_TRUE(outcome.messages.empty()) << c.line;
    }
    EXPECT_EQ(evaluate("__has_c_attribute(nodiscard").messages,
              std::vector<std::string>{"2: bad #if ... __has_c_attribute() syntax"});
}

TEST(IfExpression, SizeofAndArgumentTypes) {
    const ValueCase cases[] = {
        {"sizeof(int)", 4},         {"sizeof (char *)", 4},      {"sizeof(double)", 8},
        {"sizeof(unsigned short int)", 2}, {"sizeof(signed char)", 1}, {"sizeof(long int)", 4},
        {"sizeof(void)", 0},        {"sizeof(void (*)())", 4},   {"sizeof(T *)", 4},
        {"_argt$(unsigned char)", 1}, {"_argt$(char)", 2},       {"_argt$(unsigned short)", 3},
        {"_argt$(short int)", 4},   {"_argt$(unsigned int)", 5}, {"_argt$(int)", 6},
        {"_argt$(unsigned long)", 7}, {"_argt$(long int)", 8},   {"_argt$(float)", 9},
        {"_argt$(double)", 10},     {"_argt$(char **)", 12},     {"_argt$(int (*)())", 12},
    };
    for (const ValueCase& c : cases) {
        Outcome out = evaluate(c.line, {{"T", "unsigned long"}});
        EXPECT_EQ(out.value, c.value) << c.line;
        EXPECT_TRUE(out.messages.empty()) << c.line;
        EXPECT_EQ(out.rest, "\nnext") << c.line;
    }
}

TEST(IfExpression, UnsupportedTypesAreReplaced) {
    const std::string sizeof_warning =
        "1: not supported #if ... sizeof() syntax (replaced by __ON_SIZEOF_NOT_SUPPORTED__)";
    const std::string argt_warning =
        "1: not supported #if ... argt$() syntax (replaced by __ON_ARGTDOLLAR_NOT_SUPPORTED__)";
    for (const char* line : {"sizeof(long double)", "sizeof(unsigned)", "sizeof(struct s) ", "sizeof(int [2])",
                             "sizeof(short char)", "sizeof(int (*)[2])", "sizeof()", "sizeof(int"}) {
        Outcome out = evaluate(line);
        EXPECT_EQ(out.value, 0) << line;
        EXPECT_EQ(out.messages, std::vector<std::string>{sizeof_warning}) << line;
        EXPECT_EQ(out.rest, "\nnext") << line;
    }
    for (const char* line : {"_argt$(signed int)", "_argt$(unsigned)", "_argt$(void)", "_argt$(long double)"}) {
        Outcome out = evaluate(line);
        EXPECT_EQ(out.value, 0) << line;
        EXPECT_EQ(out.messages, std::vector<std::string>{argt_warning}) << line;
    }
    // The replacement identifier is expanded when it is a macro.
    Outcome defined = evaluate("sizeof(long double) == 12", {{"__ON_SIZEOF_NOT_SUPPORTED__", "12"}});
    EXPECT_EQ(defined.value, 1);
    EXPECT_EQ(defined.messages, std::vector<std::string>{sizeof_warning});
    // Without parentheses the replacement stands before the operand.
    Outcome bare = evaluate("sizeof x");
    EXPECT_EQ(bare.value, 1);
    EXPECT_EQ(bare.messages, (std::vector<std::string>{sizeof_warning, "2: misplaced constant in #if"}));
}

struct MessageCase {
    const char* line;
    int32_t value;
    const char* message;
};

TEST(IfExpression, ReportsErrors) {
    const MessageCase cases[] = {
        {"1/0", 0, "1: divide by zero in #if, zero result assumed"},
        {"1 % 0 + 1", 1, "1: mod by zero in #if, zero result assumed"},
        {"0 ? 2 : 1/0", 0, "1: divide by zero in #if, zero result assumed"},
        {"a = b", 1, "2: = not allowed in #if"},
        {"\"s\" == 1", 1, "2: can't use a string in an #if"},
        {"1 + @", 1, "2: illegal character '@' in #if"},
        {"1 + \x01", 1, "2: illegal character (1 decimal) in #if"},
        {"\xff", 1, "2: illegal character (255 decimal) in #if"},
        {"1 2", 1, "2: misplaced constant in #if"},
        {"1 +", 1, "2: operator end of expression in incorrect context"},
        {"", 1, "2: operator end of expression in incorrect context"},
        {"* 1", 1, "2: operator * in incorrect context"},
        {"1 ~ 2", 1, "2: operator ~ in incorrect context"},
        {"(1", 1, "2: unbalanced paren's, op is \"end of expression\""},
        {"1 : 2", 1, "2: misplaced '?' or ':', previous operator is (none)"},
        {"(1 : 2)", 1, "2: misplaced '?' or ':', previous operator is ("},
        {"1 ? 2", 1, "2: operator end of expression in incorrect context"},
        {"1, 2", 1, "2: syntax error : unknown operator"},
        {"defined(", 1, "2: bad #if ... defined() syntax"},
        {"defined(X", 1, "2: bad #if ... defined() syntax"},
        {"defined 3", 1, "2: bad #if ... defined() syntax"},
        {"1 \\ 2", 1, "2: Unexpected \\ in #if"},
    };
    for (const MessageCase& c : cases) {
        Outcome out = evaluate(c.line);
        EXPECT_EQ(out.value, c.value) << c.line;
        EXPECT_EQ(out.messages, std::vector<std::string>{c.message}) << c.line;
        EXPECT_TRUE(out.rest.ends_with("\nnext")) << c.line;
    }
    Outcome nul = evaluate(std::string("1 + \0", 5));
    EXPECT_EQ(nul.messages, std::vector<std::string>{"2: illegal character (0 decimal) in #if"});
}

TEST(IfExpression, FailsSilentlyWhereNothingIsReported) {
    // A bad character on a skipped side, and a malformed predicate.
    for (const char* line : {"0 && @", "1 || 2 + `", "#machine", "#machine(i386", "# (x)"}) {
        Outcome out = evaluate(line);
        EXPECT_EQ(out.value, 1) << line;
        EXPECT_TRUE(out.messages.empty()) << line;
        EXPECT_TRUE(out.rest.ends_with("\nnext")) << line;
    }
}

TEST(IfExpression, StackLimitsGiveMessagesNotCrashes) {
    Outcome deep = evaluate(std::string(10000, '(') + "1" + std::string(10000, ')'));
    EXPECT_EQ(deep.value, 1);
    EXPECT_EQ(deep.messages, std::vector<std::string>{"2: expression stack overflow at op \"(\""});
    EXPECT_TRUE(deep.rest.ends_with("\nnext"));

    // 127 entries above the bottom marker fit, the 128th does not.
    EXPECT_EQ(evaluate(std::string(127, '(') + "7" + std::string(127, ')')).value, 7);
    EXPECT_EQ(evaluate(std::string(127, '-') + "7").value, -7);
    EXPECT_EQ(evaluate(std::string(128, '(') + "7").messages, deep.messages);

    // A ',' after an open '?' is dropped, so values pile up: 127 fit.
    std::string values = "1 ? 2";
    for (int i = 0; i < 124; ++i) values += ", 0";
    EXPECT_TRUE(evaluate(values + " : 3").messages.empty());
    EXPECT_EQ(evaluate(values + ", 0, 0").messages, std::vector<std::string>{"2: #if value stack overflow"});
}

TEST(IfExpression, EndlessExpansionStops) {
    FakeInput input("X + 1\n");
    input.macros = {{"X", "X"}};
    EXPECT_EQ(eval_if(input, SizeTable{}), 1);
    EXPECT_EQ(input.expansions, kMaxIfExpansions);
    EXPECT_EQ(input.source.rest(), "\n");
}

TEST(IfExpression, LongLinesAndDefinedOperandIsNotExpanded) {
    EXPECT_EQ(evaluate("1" + std::string(1000000, '0') + " == 0").value, 1);
    EXPECT_EQ(evaluate("'" + std::string(1000000, 'a')).messages.size(), 0u);

    FakeInput input("defined BAD\n");
    input.macros = {{"BAD", "@"}};
    EXPECT_EQ(eval_if(input, SizeTable{}), 1);
    EXPECT_EQ(input.expansions, 0);
}

TEST(SizeOption, ReplacesObjectOrPointerSizes) {
    SizeTable sizes;
    apply_size_option(sizes, "1,2,8,8,4,8,9,9");
    EXPECT_EQ(sizes.object, (std::array<int, 8>{1, 2, 8, 8, 4, 8, 0, 0}));
    apply_size_option(sizes, "*8 8;2");
    EXPECT_EQ(sizes.pointer, (std::array<int, 8>{8, 8, 2, 4, 4, 4, 4, 4}));
    apply_size_option(sizes, "*1,2,3,4,5,6,7,8,9");
    EXPECT_EQ(sizes.pointer, (std::array<int, 8>{1, 2, 3, 4, 5, 6, 7, 8}));

    SizeTable wide;
    apply_size_option(wide, ",,2 ,2, 8");
    apply_size_option(wide, "*8");
    EXPECT_EQ(evaluate("sizeof(int) == 8 && sizeof(short) == 2 && sizeof(char *) == 8", {}, wide).value, 1);
    EXPECT_EQ(evaluate("sizeof(char) == 2 && sizeof(int *) == 4", {}, wide).value, 1);
}

}  // namespace
}  // namespace qor
