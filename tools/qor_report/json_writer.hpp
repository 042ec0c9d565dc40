// A small writer of indented JSON: objects and arrays opened and closed in
// order, commas and quoting handled here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor::report {

// The text as a JSON string, quotes included; bytes that are not valid
// UTF-8 become U+FFFD so that the output stays valid.
std::string json_quoted(std::string_view text);

class JsonWriter {
public:
    void begin_object(std::string_view key = {});
    void end_object();
    void begin_array(std::string_view key = {});
    void end_array();
    void text(std::string_view key, std::string_view value);
    void number(std::string_view key, double value);
    void integer(std::string_view key, std::int64_t value);
    void count(std::string_view key, std::uint64_t value);
    void boolean(std::string_view key, bool value);
    void null(std::string_view key);
    // Array elements: the same calls with an empty key.

    // The text, ending in a line feed (every object and array closed).
    std::string finish();

private:
    void item(std::string_view key);
    std::string out_;
    std::vector<bool> has_items_;
};

// A number as JSON shows it: whole values without a fraction, others with
// up to six significant digits after the point.
std::string json_number(double value);

}  // namespace qor::report
