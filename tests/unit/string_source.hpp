// A CharSource over a fixed text, recording reported messages.
#pragma once

#include <string>
#include <vector>

#include "preprocessor/char_source.hpp"

namespace qor::test {

class StringSource : public CharSource {
public:
    explicit StringSource(std::string text) : text_(std::move(text)) {}

    int read_char() override {
        if (pos_ >= text_.size()) return kEndOfInput;
        return static_cast<unsigned char>(text_[pos_++]);
    }
    void unread_char(int c) override {
        if (c == kEndOfInput) return;
        text_.insert(text_.begin() + static_cast<long>(pos_), static_cast<char>(c));
    }
    void unread_text(std::string_view text) override { text_.insert(pos_, text); }
    void set_in_literal(bool on) override { in_literal = on; }
    void report(int severity, std::string_view message) override {
        messages.push_back(std::to_string(severity) + ": " + std::string(message));
    }

    // What has not been read yet.
    std::string rest() const { return text_.substr(pos_); }

    std::vector<std::string> messages;
    bool in_literal = false;

private:
    std::string text_;
    size_t pos_ = 0;
};

}  // namespace qor::test
