#include "coverage_data.hpp"

#include <charconv>
#include <optional>
#include <sstream>

namespace qor::report {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) break;
        size_t end = std::min(line.find(' ', start), line.size());
        out.push_back(line.substr(start, end - start));
        pos = end;
    }
    return out;
}

template <typename Number>
std::optional<Number> number(std::string_view digits) {
    Number value{};
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// A malformed line: the record it belongs to is dropped.
struct BadLine {
    std::string what;
};

std::vector<Count> counts(const std::vector<std::string_view>& fields) {
    std::vector<Count> out;
    for (size_t i = 1; i < fields.size(); ++i) {
        auto value = number<Count>(fields[i]);
        if (!value) throw BadLine{"bad count '" + std::string(fields[i]) + "'"};
        out.push_back(*value);
    }
    return out;
}

int small_number(std::string_view digits) {
    auto value = number<int>(digits);
    if (!value || *value < 0) throw BadLine{"bad number '" + std::string(digits) + "'"};
    return *value;
}

Count count(std::string_view digits) {
    auto value = number<Count>(digits);
    if (!value) throw BadLine{"bad count '" + std::string(digits) + "'"};
    return *value;
}

FunctionData& current(DataRecord& record) {
    if (record.functions.empty()) throw BadLine{"a function's line before its F line"};
    return record.functions.back();
}

// One line inside a record, after its H and D lines.
void body_line(DataRecord& record, std::string_view line) {
    std::vector<std::string_view> fields = words(line);
    std::string_view tag = fields.empty() ? "" : fields[0];
    if (tag == "F") {
        // The name is the rest of the line and may hold blanks.
        if (fields.size() < 5) throw BadLine{"incomplete F line"};
        FunctionData function;
        function.number = small_number(fields[1]);
        function.entries = count(fields[2]);
        function.exits = count(fields[3]);
        function.name = unescape_data_text(line.substr(fields[4].data() - line.data()));
        record.functions.push_back(std::move(function));
    } else if (tag == "B") {
        current(record).branches = counts(fields);
    } else if (tag == "C") {
        current(record).calls = counts(fields);
    } else if (tag == "M") {
        if (fields.size() != 5 || (fields[2] != "0" && fields[2] != "1") ||
            fields[3].find_first_not_of("01-") != std::string_view::npos)
            throw BadLine{"bad M line"};
        current(record).vectors.push_back(
            {small_number(fields[1]), fields[2] == "1", std::string(fields[3]), count(fields[4])});
    } else if (tag == "X") {
        if (fields.size() != 3) throw BadLine{"bad X line"};
        current(record).lost.emplace_back(small_number(fields[1]), count(fields[2]));
    } else {
        throw BadLine{"unknown line"};
    }
}

}  // namespace

std::string unescape_data_text(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 3)), nullptr, 8));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<DataRecord> read_coverage_data(std::string_view text, const DataWarning& warn) {
    std::vector<DataRecord> records;
    std::optional<DataRecord> open;  // the record being read
    bool skipping = false;           // inside a record that was dropped
    size_t record_start = 0;         // of the open record's QVX line
    int line_number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        size_t line_start = pos;
        pos = end + 1;
        ++line_number;
        if (line.rfind("QVX ", 0) == 0) {
            if (open) warn(open->line, "record without END left out");
            open.reset();
            std::vector<std::string_view> fields = words(line);
            auto pid = fields.size() == 3 ? number<long>(fields[2]) : std::nullopt;
            skipping = fields.size() != 3 || fields[1] != "1" || !pid;
            if (skipping) {
                warn(line_number, "record of an unknown format left out");
                continue;
            }
            open = DataRecord{line_number, 0, *pid, {}, {}, {}};
            record_start = line_start;
            continue;
        }
        if (!open) {
            if (!skipping && !line.empty()) warn(line_number, "line outside a record ignored");
            skipping = skipping && line != "END";
            continue;
        }
        try {
            if (line == "END") {
                if (open->header.empty()) throw BadLine{"record without H line"};
                open->fingerprint = std::hash<std::string_view>{}(text.substr(record_start, end - record_start));
                records.push_back(std::move(*open));
                open.reset();
            } else if (line.rfind("H ", 0) == 0 && open->header.empty()) {
                open->header = unescape_data_text(line.substr(2));
            } else if (line.rfind("D ", 0) == 0 && open->functions.empty()) {
                open->date = unescape_data_text(line.substr(2));
            } else {
                body_line(*open, line);
            }
        } catch (const BadLine& bad) {
            warn(line_number, bad.what + "; record left out");
            open.reset();
            skipping = true;
        }
    }
    if (open) warn(open->line, "record without END left out");
    return records;
}

}  // namespace qor::report
