// The value notation of the results file and of the archive's description
// sections: `name ::= { {"a","b"}, {1, "c", {"d"}} }` sections of records
// whose items are quoted texts, bare words or nested records. Schema
// sections (`name ::= SEQUENCE OF {...}`) and the BEGIN and END words are
// skipped.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qor::report {

struct Value {
    enum class Kind { Text, Word, List };
    Kind kind = Kind::Word;
    std::string text;          // the text without its quotes and escapes, or the word
    std::vector<Value> items;  // a record's items
    int line = 0;              // where the value starts
};

struct Section {
    std::string name;
    std::vector<Value> records;
    int line = 0;
};

// A malformed text: where and what.
struct SyntaxError : std::runtime_error {
    SyntaxError(int line, const std::string& what) : std::runtime_error(what), line(line) {}
    int line;
};

// The data sections of `text`, in order; `first_line` numbers its first
// line. Throws SyntaxError.
std::vector<Section> read_sections(std::string_view text, int first_line = 1);

// The section of that name, or null.
const Section* find_section(const std::vector<Section>& sections, std::string_view name);

}  // namespace qor::report
