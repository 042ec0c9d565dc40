#include "messages.hpp"

#include <cstdio>
#include <string>

namespace full_prepro {

namespace {

void print(std::string_view origin, const char* label, std::string_view text) {
    std::fprintf(stderr, "%.*s: %s: %.*s\n", static_cast<int>(origin.size()), origin.data(), label,
                 static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

void print(std::string_view file, unsigned line, const char* label, std::string_view text) {
    print(std::string(file) + "(" + std::to_string(line) + ")", label, text);
}

}  // namespace

void Messages::error(std::string_view file, unsigned line, std::string_view text) {
    print(file, line, "Error", text);
    ++errors_;
}

void Messages::warning(std::string_view file, unsigned line, std::string_view text) {
    print(file, line, "Warning", text);
}

void Messages::error(std::string_view text) {
    print("full_prepro", "Error", text);
    ++errors_;
}

void Messages::warning(std::string_view text) { print("full_prepro", "Warning", text); }

}  // namespace full_prepro
