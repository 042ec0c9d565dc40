#include "mcdc_description.hpp"

#include <charconv>
#include <stdexcept>

namespace qor::report {

namespace {

// The fields between unescaped colons; "\:" is a colon of a text.
std::vector<std::string> fields(std::string_view text) {
    std::vector<std::string> out(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == ':') {
            out.back() += ':';
            ++i;
        } else if (text[i] == ':') {
            out.emplace_back();
        } else {
            out.back() += text[i];
        }
    }
    return out;
}

class FieldCursor {
public:
    explicit FieldCursor(std::vector<std::string> fields) : fields_(std::move(fields)) {}

    const std::string& text(const char* what) {
        if (next_ >= fields_.size()) throw std::invalid_argument(std::string("no ") + what);
        return fields_[next_++];
    }
    int number(const char* what) {
        const std::string& digits = text(what);
        int value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size() || value < 0)
            throw std::invalid_argument(std::string("bad ") + what + " '" + digits + "'");
        return value;
    }
    std::vector<std::string> vectors(size_t width) {
        int count = number("vector count");
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            const std::string& vector = text("vector");
            if (vector.size() != width || vector.find_first_not_of("01-") != std::string::npos)
                throw std::invalid_argument("bad vector '" + vector + "'");
            out.push_back(vector);
        }
        return out;
    }
    // The fields not read yet, joined again: the expression.
    std::string rest() {
        std::string out;
        for (size_t i = next_; i < fields_.size(); ++i) out += (i > next_ ? ":" : "") + fields_[i];
        next_ = fields_.size();
        return out;
    }

private:
    std::vector<std::string> fields_;
    size_t next_ = 0;
};

}  // namespace

McdcDescription parse_mcdc_description(std::string_view text) {
    FieldCursor cursor(fields(text));
    McdcDescription out;
    out.decision = cursor.number("decision number");
    out.line = cursor.number("line");
    out.branch = cursor.number("branch");
    int count = cursor.number("condition count");
    if (count == 0) throw std::invalid_argument("no conditions");
    for (int i = 0; i < count; ++i) out.conditions.push_back(cursor.text("condition"));
    out.true_vectors = cursor.vectors(out.conditions.size());
    out.false_vectors = cursor.vectors(out.conditions.size());
    out.expression = cursor.rest();
    return out;
}

}  // namespace qor::report
