#include "frontend/token_scanner.hpp"

#include <utility>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "frontend/tokens.hpp"

namespace qor {
namespace {

// ASCII classification; kEndOfInput and bytes above 127 are neither.
bool is_digit(int c) { return is_ascii_digit(c); }
bool is_letter(int c) { return is_ascii_letter(c); }
bool is_hex_letter(int c) { return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

ScannedToken make(int code, std::string text, std::string op = {}) {
    return ScannedToken{code, std::move(text), std::move(op)};
}

std::string two(int first, int second) {
    return std::string{static_cast<char>(first), static_cast<char>(second)};
}

// The next character, left unread.
int peek(CharSource& input) {
    const int next = input.read_char();
    if (next != kEndOfInput) input.unread_char(next);
    return next;
}

}  // namespace

// ---- Operators ------------------------------------------------------------

ScannedToken scan_operator(int first, CharSource& input) {
    const std::string alone(1, static_cast<char>(first));
    switch (first) {
        case '!': case '%': case '&': case '*': case '+': case '-': case '/':
        case ':': case '<': case '=': case '>': case '^': case '|':
            break;
        default:
            return make(first, alone);
    }

    const int second = input.read_char();
    if (second == '=') {
        switch (first) {
            case '=': return make(EQ, "==");
            case '!': return make(NEQ, "!=");
            case '<': return make(LOET, "<=");
            case '>': return make(GOET, ">=");
            case '+': case '-': case '*': case '/': case '%': case '&': case '|': case '^':
                return make(ASSIGNMENT, two(first, second), two(first, second));
            default: break;  // ':' followed by '='
        }
    } else if (second == first) {
        switch (first) {
            case '&': return make(ANDAND, "&&");
            case '|': return make(OROR, "||");
            case '+': return make(PLUSPLUS, "++");
            case '-': return make(MINUSMINUS, "--");
            case '<':
            case '>': {
                const int third = input.read_char();
                if (third == '=') {
                    std::string op = two(first, second) + "=";
                    return make(ASSIGNMENT, op, op);
                }
                input.unread_char(third);
                return make(first == '<' ? LSHIFT : RSHIFT, two(first, second));
            }
            default: break;
        }
    } else {
        if (first == '-' && second == '>') return make(ACCES_CHAMP, "->");
        if (first == '<' && second == '%') return make('{', "<%");
        if (first == '<' && second == ':') return make('[', "<:");
        if (first == ':' && second == '>') return make(']', ":>");
        if (first == '%' && second == '>') return make('}', "%>");
    }

    input.unread_char(second);
    if (first == '<') return make(LT, alone);
    if (first == '>') return make(GT, alone);
    if (first == '=') return make('=', alone, alone);
    return make(first, alone);
}

// ---- Numbers --------------------------------------------------------------

ScannedToken scan_number(int first, CharSource& input, NumberSyntax syntax) {
    const bool c23 = syntax == NumberSyntax::C23;
    enum class Base { Binary, Octal, Decimal, Hexadecimal };
    // Floating state of the mantissa: a '.' was seen; after a second '.' the
    // number counts as having an exponent.
    enum class Floating { No, AfterPoint, AfterExponent };

    ScannedToken token = make(CONSTANT, std::string(1, static_cast<char>(first)));
    std::string& text = token.text;
    Base base = Base::Decimal;
    Floating floating = Floating::No;
    int c = 0;

    if (first == '.') {
        c = input.read_char();
        if (c == '.') {
            const int third = input.read_char();
            if (third == '.') return make(POINT_POINT_POINT, "...");
            input.report(MSG_LEXICAL, "parse error at `..'");
            input.unread_char(third);
            return make('.', ".");
        }
        if (!is_digit(c)) {
            input.unread_char(c);
            return make('.', ".");
        }
        floating = Floating::AfterPoint;
    } else if (first == '0') {
        c = input.read_char();
        if (c == 'x' || c == 'X') {
            base = Base::Hexadecimal;
        } else if (c == 'b' || c == 'B') {
            base = Base::Binary;
        } else {
            base = Base::Octal;
        }
        if (base != Base::Octal) {
            text += static_cast<char>(c);
            c = input.read_char();
        }
    } else {
        c = input.read_char();
    }

    // Mantissa: digits, letters and points, up to a suffix letter, the
    // exponent letter or any other character.
    size_t characters_after_prefix = 0;
    bool exponent = false;
    bool stray_letter = false;
    auto is_base_digit = [&](int d) {
        return base == Base::Hexadecimal ? is_digit(d) || is_hex_letter(d) : is_digit(d);
    };
    // A C23 digit separator stands between two digits of the number.
    auto separator = [&](int d) {
        return c23 && d == '\'' && !text.empty() && is_base_digit(text.back()) && is_base_digit(peek(input));
    };
    for (;; c = input.read_char()) {
        if (separator(c)) {
            text += '\'';
            continue;
        }
        if (c == '.') {
            if (floating != Floating::No) {
                input.report(MSG_LEXICAL, "invalid floating constant");
                floating = Floating::AfterExponent;
            } else {
                if (base == Base::Binary) input.report(MSG_LEXICAL, "invalid floating constant");
                floating = Floating::AfterPoint;
            }
            text += '.';
            continue;
        }
        if (is_digit(c)) {
            text += static_cast<char>(c);
            ++characters_after_prefix;
            continue;
        }
        if (!is_letter(c)) break;
        if (c == 'l' || c == 'L' || c == 'u' || c == 'U') break;
        // GNU C's imaginary constants (2i, 1.0iF, 3.5fj): i or j is a suffix
        // letter.
        if (c == 'i' || c == 'I' || c == 'j' || c == 'J') break;
        if ((c == 'f' || c == 'F') && floating != Floating::No) break;
        if (c23 && (c == 'w' || c == 'W') && peek(input) == (c == 'w' ? 'b' : 'B')) break;
        if (c23 && (c == 'd' || c == 'D') && floating != Floating::No && base != Base::Hexadecimal) break;
        const bool letter_is_digit = base == Base::Binary || (base == Base::Hexadecimal && is_hex_letter(c));
        if (!letter_is_digit) {
            if (c == 'e' || c == 'E' || c == 'p' || c == 'P') {
                exponent = true;
                break;
            }
            // One message per number, however many stray letters it has.
            if (!stray_letter) input.report(MSG_LEXICAL, "nondigits in number");
            stray_letter = true;
        }
        text += static_cast<char>(c);
        ++characters_after_prefix;
    }
    if ((base == Base::Hexadecimal || base == Base::Binary) && characters_after_prefix == 0)
        input.report(MSG_LEXICAL, "invalid numeric constant");

    // Exponent: the letter, one optional sign, decimal digits.
    if (exponent) {
        text += static_cast<char>(c);
        c = input.read_char();
        if (c == '+' || c == '-') {
            text += static_cast<char>(c);
            c = input.read_char();
        }
        while (is_digit(c) || separator(c)) {
            text += static_cast<char>(c);
            c = input.read_char();
        }
    }

    // Suffix: letters and digits directly following.
    while (is_digit(c) || is_letter(c)) {
        text += static_cast<char>(c);
        c = input.read_char();
    }
    input.unread_char(c);
    return token;
}

// ---- Strings and character constants -------------------------------------

ScannedToken scan_literal(int quote, std::string prefix, CharSource& input) {
    ScannedToken token = make(quote == '\'' ? CONSTANT : STRING, std::move(prefix));
    std::string& text = token.text;
    const size_t opening = text.size();
    text += static_cast<char>(quote);

    input.set_in_literal(true);
    bool closed = false;
    for (;;) {
        int c = input.read_char();
        if (c == kEndOfInput) break;
        text += static_cast<char>(c);
        if (c == quote) {
            closed = true;
            break;
        }
        if (c == '\\') {
            // The escaped character is taken as it is, even a quote or a
            // second backslash.
            c = input.read_char();
            if (c == kEndOfInput) break;
            text += static_cast<char>(c);
        }
    }
    input.set_in_literal(false);

    if (quote == '\'' && (!closed || text.size() == opening + 2))
        input.report(MSG_LEXICAL, "invalid character constant");
    return token;
}

}  // namespace qor
