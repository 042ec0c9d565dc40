#include "foundation/text.hpp"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace qor {

std::optional<int> whole_number(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text[0] == '-' || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view trim_blanks(std::string_view text) {
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

std::string to_upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string to_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool ends_with_icase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && iequals(s.substr(s.size() - suffix.size()), suffix);
}

size_t last_separator(std::string_view path, SeparatorRule rule) {
    size_t slash = path.rfind('/');
    size_t backslash = path.rfind('\\');
    if (slash == std::string_view::npos) return backslash;
    if (backslash == std::string_view::npos || rule == SeparatorRule::SlashThenBackslash) return slash;
    return slash > backslash ? slash : backslash;
}

std::string_view last_component(std::string_view path) {
    size_t sep = last_separator(path);
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

std::string_view directory_part(std::string_view path) {
    size_t sep = last_separator(path);
    return sep == std::string_view::npos ? std::string_view() : path.substr(0, sep + 1);
}

std::string reduce_double_slashes(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

namespace {

int decimal_digits(unsigned long v) {
    int digits = 1;
    while (v >= 10) {
        v /= 10;
        ++digits;
    }
    return digits;
}

}  // namespace

std::string quoted_escaped(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string str_format_int(long value, int width) {
    unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    int digits = decimal_digits(magnitude);
    int sign = value < 0 ? 1 : 0;
    if (digits + sign <= width) return std::to_string(value);
    if (decimal_digits(static_cast<unsigned long>(digits)) + sign <= width - 2) {
        long scale = 1;
        for (int i = 1; i < digits; ++i) scale *= 10;
        return std::to_string(value / scale) + "e" + std::to_string(digits - 1);
    }
    return std::string(width > 0 ? width : 0, '*');
}

}  // namespace qor
