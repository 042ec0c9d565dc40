#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/token_scanner.hpp"
#include "frontend/tokens.hpp"
#include "string_source.hpp"

namespace qor {
namespace {

using Messages = std::vector<std::string>;

// One scan: the input starts with the character the caller has already read.
struct Case {
    std::string input;
    int code;
    std::string text;
    std::string op;
    Messages messages;
    std::string rest;  // what is left unread after the scan
};

enum class Scanner { Operator, Number, Literal };

void check(Scanner scanner, const Case& c, NumberSyntax syntax = NumberSyntax::Classic) {
    SCOPED_TRACE("input \"" + c.input + "\"");
    test::StringSource source(c.input.substr(1));
    const int first = static_cast<unsigned char>(c.input[0]);
    ScannedToken token;
    switch (scanner) {
        case Scanner::Operator: token = scan_operator(first, source); break;
        case Scanner::Number: token = scan_number(first, source, syntax); break;
        case Scanner::Literal: token = scan_literal(first, "", source); break;
    }
    EXPECT_EQ(token.code, c.code);
    EXPECT_EQ(token.text, c.text);
    EXPECT_EQ(token.op, c.op);
    EXPECT_EQ(source.messages, c.messages);
    EXPECT_EQ(source.rest(), c.rest);
    EXPECT_FALSE(source.in_literal);
}

const std::string kInvalidChar = "4: invalid character constant";
const std::string kInvalidNumber = "4: invalid numeric constant";
const std::string kNondigits = "4: nondigits in number";
const std::string kInvalidFloat = "4: invalid floating constant";
const std::string kDotDot = "4: parse error at `..'";

// ---- Operators ------------------------------------------------------------

TEST(ScanOperator, PairsAssignmentsAndDigraphs) {
    const std::vector<Case> cases = {
        {"==x", EQ, "==", "", {}, "x"},
        {"->x", ACCES_CHAMP, "->", "", {}, "x"},
        {"<< =", LSHIFT, "<<", "", {}, " ="},
        // Three characters are never two operators glued: +++ is ++ then +.
        {"+++", PLUSPLUS, "++", "", {}, "+"},
        {"->>", ACCES_CHAMP, "->", "", {}, ">"},
        {"+=1", ASSIGNMENT, "+=", "+=", {}, "1"},
        {"<<=b", ASSIGNMENT, "<<=", "<<=", {}, "b"},
        {">>==", ASSIGNMENT, ">>=", ">>=", {}, "="},
        // The single '=' is itself with the operator text "=".
        {"= =", '=', "=", "=", {}, " ="},
        {":=", ':', ":", "", {}, "="},
        {"< <b", LT, "<", "", {}, " <b"},
        {">a", GT, ">", "", {}, "a"},
        {"<%", '{', "<%", "", {}, ""},
        {"%>;", '}', "%>", "", {}, ";"},
        {"<:0", '[', "<:", "", {}, "0"},
        {":>=", ']', ":>", "", {}, "="},
        // %: is not a digraph: % then :.
        {"%:", '%', "%", "", {}, ":"},
        {"&|", '&', "&", "", {}, "|"},
    };
    for (const Case& c : cases) check(Scanner::Operator, c);
}

TEST(ScanOperator, ANulAfterTheOperatorIsPushedBack) {
    test::StringSource source(std::string("\0x", 2));
    ScannedToken token = scan_operator('+', source);
    EXPECT_EQ(token.code, '+');
    EXPECT_EQ(source.rest(), std::string("\0x", 2));
}

// ---- Numbers --------------------------------------------------------------

TEST(ScanNumber, ValidConstants) {
    const std::vector<Case> cases = {
        {"0", CONSTANT, "0", "", {}, ""},
        {"0;", CONSTANT, "0", "", {}, ";"},
        {"42)", CONSTANT, "42", "", {}, ")"},
        {"08", CONSTANT, "08", "", {}, ""},
        {"0777 ", CONSTANT, "0777", "", {}, " "},
        {"0x1F;", CONSTANT, "0x1F", "", {}, ";"},
        {"0XdeadBEEF;", CONSTANT, "0XdeadBEEF", "", {}, ";"},
        {"0x1e+1", CONSTANT, "0x1e", "", {}, "+1"},
        {"0b1010|", CONSTANT, "0b1010", "", {}, "|"},
        {"1e+5;", CONSTANT, "1e+5", "", {}, ";"},
        {"1e5;", CONSTANT, "1e5", "", {}, ";"},
        {"1.5f;", CONSTANT, "1.5f", "", {}, ";"},
        {"1.5e3L;", CONSTANT, "1.5e3L", "", {}, ";"},
        {"1.;", CONSTANT, "1.", "", {}, ";"},
        {"1.e3;", CONSTANT, "1.e3", "", {}, ";"},
        {".5;", CONSTANT, ".5", "", {}, ";"},
        {".5e-2f,", CONSTANT, ".5e-2f", "", {}, ","},
        {"10UL;", CONSTANT, "10UL", "", {}, ";"},
        {"10LLu;", CONSTANT, "10LLu", "", {}, ";"},
        {"0x10u;", CONSTANT, "0x10u", "", {}, ";"},
        {"0x1.8p3", CONSTANT, "0x1.8p3", "", {}, ""},
        {"0x1.8P-3f;", CONSTANT, "0x1.8P-3f", "", {}, ";"},
        {"0x.8p1;", CONSTANT, "0x.8p1", "", {}, ";"},
        // GNU C's imaginary constants: i or j among the suffix letters.
        {"2i;", CONSTANT, "2i", "", {}, ";"},
        {"1.0iF)", CONSTANT, "1.0iF", "", {}, ")"},
        {"1.5fj;", CONSTANT, "1.5fj", "", {}, ";"},
        {"3Il;", CONSTANT, "3Il", "", {}, ";"},
        {"1e3J;", CONSTANT, "1e3J", "", {}, ";"},
        // The exponent has one sign; a second sign ends the number.
        {"1e+-5", CONSTANT, "1e+", "", {}, "-5"},
        {"1e--5", CONSTANT, "1e-", "", {}, "-5"},
        // Letters and digits after the exponent are kept as a suffix.
        {"1e5xy9;", CONSTANT, "1e5xy9", "", {}, ";"},
        // An underscore, a point after the exponent, a NUL or a byte above
        // 127 ends the number.
        {"12_3", CONSTANT, "12", "", {}, "_3"},
        {"1e5.5", CONSTANT, "1e5", "", {}, ".5"},
        {std::string("7\0", 2), CONSTANT, "7", "", {}, std::string("\0", 1)},
        {"7\xe9", CONSTANT, "7", "", {}, "\xe9"},
        {"1u.5", CONSTANT, "1u", "", {}, ".5"},
        // In a binary number no letter is checked.
        {"0b12xyz;", CONSTANT, "0b12xyz", "", {}, ";"},
        // In decimal numbers p also starts the exponent.
        {"1p3;", CONSTANT, "1p3", "", {}, ";"},
    };
    for (const Case& c : cases) check(Scanner::Number, c);
}

TEST(ScanNumber, PointsAndEllipsis) {
    const std::vector<Case> cases = {
        {". y", '.', ".", "", {}, " y"},
        {".y", '.', ".", "", {}, "y"},
        {".", '.', ".", "", {}, ""},
        {"... y", POINT_POINT_POINT, "...", "", {}, " y"},
        {"...", POINT_POINT_POINT, "...", "", {}, ""},
        {"....", POINT_POINT_POINT, "...", "", {}, "."},
        // .. not followed by '.': message, the third character is pushed
        // back and the second point dropped.
        {".. y", '.', ".", "", {kDotDot}, " y"},
        {"..5", '.', ".", "", {kDotDot}, "5"},
        {"..", '.', ".", "", {kDotDot}, ""},
    };
    for (const Case& c : cases) check(Scanner::Number, c);
}

TEST(ScanNumber, MalformedConstants) {
    const std::vector<Case> cases = {
        {"0b1.0;", CONSTANT, "0b1.0", "", {kInvalidFloat}, ";"},
        {"1.2.3;", CONSTANT, "1.2.3", "", {kInvalidFloat}, ";"},
        {".5.5;", CONSTANT, ".5.5", "", {kInvalidFloat}, ";"},
        {"1..2;", CONSTANT, "1..2", "", {kInvalidFloat}, ";"},
        {"1.2.3.4;", CONSTANT, "1.2.3.4", "", {kInvalidFloat, kInvalidFloat}, ";"},
        {"0b1.0.1;", CONSTANT, "0b1.0.1", "", {kInvalidFloat, kInvalidFloat}, ";"},
        // Each stray letter is reported and kept.
        {"12abc;", CONSTANT, "12abc", "", {kNondigits}, ";"},
        {"12a;", CONSTANT, "12a", "", {kNondigits}, ";"},
        {"0x1g;", CONSTANT, "0x1g", "", {kNondigits}, ";"},
        {"09z;", CONSTANT, "09z", "", {kNondigits}, ";"},
        // f is only a suffix once the number is floating.
        {"10f;", CONSTANT, "10f", "", {kNondigits}, ";"},
        // A stray letter before the exponent, then the exponent.
        {"1ae5;", CONSTANT, "1ae5", "", {kNondigits}, ";"},
        // A prefix with nothing of the number after it.
        {"0x;", CONSTANT, "0x", "", {kInvalidNumber}, ";"},
        {"0X", CONSTANT, "0X", "", {kInvalidNumber}, ""},
        {"0b;", CONSTANT, "0b", "", {kInvalidNumber}, ";"},
        {"0xUL;", CONSTANT, "0xUL", "", {kInvalidNumber}, ";"},
        {"0xp3;", CONSTANT, "0xp3", "", {kInvalidNumber}, ";"},
        {"0b.;", CONSTANT, "0b.", "", {kInvalidFloat, kInvalidNumber}, ";"},
    };
    for (const Case& c : cases) check(Scanner::Number, c);
}

// C23's digit separators and suffixes; the classic syntax reads none of
// them (a quote there starts a character constant).
TEST(ScanNumber, C23SeparatorsAndSuffixes) {
    const std::vector<Case> c23 = {
        {"1'000'000;", CONSTANT, "1'000'000", "", {}, ";"},
        {"0x1'F;", CONSTANT, "0x1'F", "", {}, ";"},
        {"0b1010'0101;", CONSTANT, "0b1010'0101", "", {}, ";"},
        {"1'0.5e1'0;", CONSTANT, "1'0.5e1'0", "", {}, ";"},
        // A separator stands between two digits only.
        {"1'x'", CONSTANT, "1", "", {}, "'x'"},
        {"1''2", CONSTANT, "1", "", {}, "''2"},
        {"12wb;", CONSTANT, "12wb", "", {}, ";"},
        {"0xFFuwb;", CONSTANT, "0xFFuwb", "", {}, ";"},
        {"5WBU;", CONSTANT, "5WBU", "", {}, ";"},
        {"0x1b;", CONSTANT, "0x1b", "", {}, ";"},
        {"1.5df;", CONSTANT, "1.5df", "", {}, ";"},
        {"2e3DL;", CONSTANT, "2e3DL", "", {}, ";"},
        // d is a digit of a hexadecimal float; w without b is no suffix.
        {"0x1.dp3;", CONSTANT, "0x1.dp3", "", {}, ";"},
        {"12wx;", CONSTANT, "12wx", "", {kNondigits}, ";"},
    };
    for (const Case& c : c23) check(Scanner::Number, c, NumberSyntax::C23);
    for (const Case& c : std::vector<Case>{{"1'000'000", CONSTANT, "1", "", {}, "'000'000"},
                                           {"12wb;", CONSTANT, "12wb", "", {kNondigits}, ";"},
                                           {"1.5df;", CONSTANT, "1.5df", "", {kNondigits}, ";"}})
        check(Scanner::Number, c);
}

// ---- Strings and character constants --------------------------------------

TEST(ScanLiteral, Strings) {
    const std::vector<Case> cases = {
        {"\"abc\";", STRING, "\"abc\"", "", {}, ";"},
        {"\"\"x", STRING, "\"\"", "", {}, "x"},
        {"\"a\\\"b\";", STRING, "\"a\\\"b\"", "", {}, ";"},
        // A backslash after a backslash escapes nothing.
        {"\"a\\\\\"b\"", STRING, "\"a\\\\\"", "", {}, "b\""},
        {"\"a\\\\\\\"\"", STRING, "\"a\\\\\\\"\"", "", {}, ""},
        {"\"it's\"", STRING, "\"it's\"", "", {}, ""},
        {"\"/* no comment */\"", STRING, "\"/* no comment */\"", "", {}, ""},
        // A newline does not end a string; the end of input does, silently.
        {"\"a\nb\"", STRING, "\"a\nb\"", "", {}, ""},
        {"\"abc", STRING, "\"abc", "", {}, ""},
        {"\"abc\\", STRING, "\"abc\\", "", {}, ""},
        {std::string("\"a\0b\"", 5), STRING, std::string("\"a\0b\"", 5), "", {}, ""},
    };
    for (const Case& c : cases) check(Scanner::Literal, c);
}

TEST(ScanLiteral, CharacterConstants) {
    const std::vector<Case> cases = {
        {"'a';", CONSTANT, "'a'", "", {}, ";"},
        {"'\\n')", CONSTANT, "'\\n'", "", {}, ")"},
        {"'\\''", CONSTANT, "'\\''", "", {}, ""},
        {"'\\\\'x", CONSTANT, "'\\\\'", "", {}, "x"},
        {"'\"'", CONSTANT, "'\"'", "", {}, ""},
        {"'ab'", CONSTANT, "'ab'", "", {}, ""},
        {"''x", CONSTANT, "''", "", {kInvalidChar}, "x"},
        {"'", CONSTANT, "'", "", {kInvalidChar}, ""},
        {"'a", CONSTANT, "'a", "", {kInvalidChar}, ""},
        {"'\\", CONSTANT, "'\\", "", {kInvalidChar}, ""},
    };
    for (const Case& c : cases) check(Scanner::Literal, c);
}

TEST(ScanLiteral, WidePrefixStartsTheText) {
    test::StringSource wide_string("ab\"+");
    ScannedToken s = scan_literal('"', "L", wide_string);
    EXPECT_EQ(s.code, STRING);
    EXPECT_EQ(s.text, "L\"ab\"");
    EXPECT_EQ(wide_string.rest(), "+");

    test::StringSource wide_char("x'");
    ScannedToken c = scan_literal('\'', "l", wide_char);
    EXPECT_EQ(c.code, CONSTANT);
    EXPECT_EQ(c.text, "l'x'");
    EXPECT_TRUE(wide_char.messages.empty());

    test::StringSource empty_wide("'");
    ScannedToken e = scan_literal('\'', "L", empty_wide);
    EXPECT_EQ(e.text, "L''");
    EXPECT_EQ(empty_wide.messages, Messages{kInvalidChar});
}

// Records whether the source was inside a literal at each read.
class LiteralTrackingSource : public test::StringSource {
public:
    using StringSource::StringSource;
    int read_char() override {
        reads_in_literal.push_back(in_literal);
        return StringSource::read_char();
    }
    std::vector<bool> reads_in_literal;
};

TEST(ScanLiteral, TheSourceKnowsItIsInsideALiteralWhileReading) {
    LiteralTrackingSource source("a/*b\";");
    ScannedToken token = scan_literal('"', "", source);
    EXPECT_EQ(token.text, "\"a/*b\"");
    EXPECT_EQ(source.reads_in_literal, std::vector<bool>(5, true));
    EXPECT_FALSE(source.in_literal);
    EXPECT_EQ(source.rest(), ";");

    LiteralTrackingSource unterminated("x");
    scan_literal('\'', "", unterminated);
    EXPECT_EQ(unterminated.reads_in_literal, std::vector<bool>(2, true));
    EXPECT_FALSE(unterminated.in_literal);
}

// ---- Long tokens ------------------------------------------------------------

TEST(Scanners, AMillionCharacterTokenIsReadInLinearTime) {
    const size_t n = 1'000'000;
    {
        std::string digits(n, '7');
        test::StringSource source(digits.substr(1) + "UL;");
        ScannedToken token = scan_number('1', source);
        EXPECT_EQ(token.text.size(), n + 2);
        EXPECT_EQ(source.rest(), ";");
    }
    {
        test::StringSource source("x" + std::string(n, 'a') + ";");
        ScannedToken token = scan_number('0', source);
        EXPECT_EQ(token.text.size(), n + 2);
        EXPECT_TRUE(source.messages.empty());
    }
    {
        std::string body;
        body.reserve(n);
        while (body.size() < n) body += "ab\\\"";
        test::StringSource source(body + "\";");
        ScannedToken token = scan_literal('"', "", source);
        EXPECT_EQ(token.code, STRING);
        EXPECT_EQ(token.text.size(), body.size() + 2);
        EXPECT_EQ(source.rest(), ";");
    }
}

}  // namespace
}  // namespace qor
