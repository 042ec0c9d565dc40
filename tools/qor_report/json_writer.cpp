#include "json_writer.hpp"

#include <cmath>
#include <cstdio>

namespace qor::report {

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0.
size_t utf8_length(std::string_view text, size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

}  // namespace

std::string json_quoted(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (size_t n = utf8_length(text, i)) {
            out += text.substr(i, n);
            i += n - 1;
        } else {
            out += "\\ufffd";
        }
    }
    return out + '"';
}

std::string json_number(double value) {
    if (!std::isfinite(value)) return "null";
    if (value == std::trunc(value) && std::fabs(value) < 1e15) return std::to_string(static_cast<long long>(value));
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

void JsonWriter::item(std::string_view key) {
    if (!has_items_.empty()) {
        if (has_items_.back()) out_ += ',';
        has_items_.back() = true;
        out_ += '\n';
        out_.append(2 * has_items_.size(), ' ');
    }
    if (!key.empty()) out_ += json_quoted(key) + ": ";
}

void JsonWriter::begin_object(std::string_view key) {
    item(key);
    out_ += '{';
    has_items_.push_back(false);
}

void JsonWriter::begin_array(std::string_view key) {
    item(key);
    out_ += '[';
    has_items_.push_back(false);
}

void JsonWriter::end_object() {
    bool had = has_items_.back();
    has_items_.pop_back();
    if (had) {
        out_ += '\n';
        out_.append(2 * has_items_.size(), ' ');
    }
    out_ += '}';
}

void JsonWriter::end_array() {
    bool had = has_items_.back();
    has_items_.pop_back();
    if (had) {
        out_ += '\n';
        out_.append(2 * has_items_.size(), ' ');
    }
    out_ += ']';
}

void JsonWriter::text(std::string_view key, std::string_view value) {
    item(key);
    out_ += json_quoted(value);
}

void JsonWriter::number(std::string_view key, double value) {
    item(key);
    out_ += json_number(value);
}

void JsonWriter::integer(std::string_view key, std::int64_t value) {
    item(key);
    out_ += std::to_string(value);
}

void JsonWriter::boolean(std::string_view key, bool value) {
    item(key);
    out_ += value ? "true" : "false";
}

void JsonWriter::null(std::string_view key) {
    item(key);
    out_ += "null";
}

void JsonWriter::count(std::string_view key, std::uint64_t value) {
    item(key);
    out_ += std::to_string(value);
}

std::string JsonWriter::finish() { return std::move(out_) + '\n'; }

}  // namespace qor::report
