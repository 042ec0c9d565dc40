#include "coverage_data.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "foundation/diagnostics.hpp"

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

// The layout of a section's block: its functions and decisions in the
// order of their counters.
struct LiveDecision {
    int number = 0;
    size_t conditions = 0;
    size_t slots = 0;
};
struct LiveFunction {
    FunctionData data;
    size_t branch_slots = 0;
    size_t call_slots = 0;
    std::vector<LiveDecision> decisions;
};

// The L, H, D, F and M lines of a section, up to END; `text` starts after
// the first line. A data file's section starts with its L line.
std::vector<LiveFunction> live_layout(std::string_view text, DataRecord& record, bool labelled) {
    std::vector<LiveFunction> functions;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) break;
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        std::vector<std::string_view> fields = words(line);
        std::string_view tag = fields.empty() ? "" : fields[0];
        if (line == "END") return functions;
        if (labelled) {
            if (line.rfind("L ", 0) != 0) throw BadLine{"a section without L line"};
            record.label = unescape_data_text(line.substr(2));
            labelled = false;
        } else if (line.rfind("H ", 0) == 0 && record.header.empty()) {
            record.header = unescape_data_text(line.substr(2));
        } else if (line.rfind("D ", 0) == 0 && functions.empty()) {
            record.date = unescape_data_text(line.substr(2));
        } else if (tag == "F" && fields.size() >= 5) {
            LiveFunction function;
            function.data.number = small_number(fields[1]);
            function.branch_slots = static_cast<size_t>(small_number(fields[2]));
            function.call_slots = static_cast<size_t>(small_number(fields[3]));
            if (function.call_slots == 0) throw BadLine{"an F line without call slot 0"};
            function.data.name = unescape_data_text(line.substr(fields[4].data() - line.data()));
            functions.push_back(std::move(function));
        } else if (tag == "M" && fields.size() == 4 && !functions.empty()) {
            functions.back().decisions.push_back({small_number(fields[1]),
                                                  static_cast<size_t>(small_number(fields[2])),
                                                  static_cast<size_t>(small_number(fields[3]))});
        } else {
            throw BadLine{"unknown layout line"};
        }
    }
    throw BadLine{"a layout without END"};
}

// Reads the block's counters (of `width` bytes each, in the machine's
// order, as the run-time wrote them) and then its bytes, in order.
class BlockReader {
public:
    BlockReader(std::string_view block, size_t width) : block_(block), width_(width) {}

    Count count() {
        if (pos_ + width_ > block_.size()) throw BadLine{"the block is shorter than its layout"};
        Count value = 0;
        if (width_ == 8) {
            std::uint64_t wide = 0;
            std::memcpy(&wide, block_.data() + pos_, 8);
            value = wide;
        } else {
            std::uint32_t narrow = 0;
            std::memcpy(&narrow, block_.data() + pos_, 4);
            value = narrow;
        }
        pos_ += width_;
        return value;
    }
    std::vector<Count> counts(size_t n) {
        std::vector<Count> out(n);
        for (Count& value : out) value = count();
        return out;
    }
    std::string_view bytes(size_t n) {
        if (pos_ + n > block_.size()) throw BadLine{"the block is shorter than its layout"};
        std::string_view out = block_.substr(pos_, n);
        pos_ += n;
        return out;
    }

private:
    std::string_view block_;
    size_t width_;
    size_t pos_ = 0;
};

// The vectors of one decision: each ready slot that counted, the slots
// of the same vector added up (two threads may have taken one each); the
// true outcome first, then in character order.
void live_vectors(const LiveDecision& decision, const std::vector<Count>& counts, std::string_view ready,
                  std::string_view vectors, FunctionData& function) {
    std::map<std::pair<bool, std::string>, Count> met;  // false: the true outcome
    size_t width = decision.conditions + 1;
    for (size_t slot = 0; slot < decision.slots; ++slot) {
        if (!ready[slot] || counts[slot] == 0) continue;
        std::string_view vector = vectors.substr(slot * width, width);
        if ((vector[0] != '0' && vector[0] != '1') ||
            vector.substr(1).find_first_not_of("01-") != std::string_view::npos)
            throw BadLine{"a slot of decision " + std::to_string(decision.number) + " holds no vector"};
        met[{vector[0] != '1', std::string(vector.substr(1))}] += counts[slot];
    }
    for (const auto& [key, count] : met) function.vectors.push_back({decision.number, !key.first, key.second, count});
}

// The first words of a live file's sections and of a data file's, and
// the multiples of bytes where they start: a live section's block is
// whole pages that the process maps.
constexpr std::string_view kLiveSection = "QVX-LIVE", kSumSection = "QVX-SUM";
constexpr size_t kLiveAlignment = 4096, kSumAlignment = 64;

// One unit's section at the start of `bytes`, of the kind `tag` names: its
// record, nullopt when no probe of the unit ran or the section is not
// whole (`warn` says why). `size` is the section's size, 0 when it has
// none. A live section's first line holds the process number.
std::optional<DataRecord> read_section(std::string_view bytes, std::string_view tag, size_t& size,
                                       const DataWarning& warn) {
    size = 0;
    bool live = tag == kLiveSection;
    size_t end = bytes.find('\n');
    std::vector<std::string_view> first = words(bytes.substr(0, end == std::string_view::npos ? 0 : end));
    if (first.size() != (live ? 6U : 5U) || first[0] != tag || first[1] != "1") {
        // Zeros: the place of a section whose process ended before writing it.
        if (bytes[0] != '\0') warn(1, std::string("not a ") + (live ? "live" : "data") + " file of a known format; left out");
        return std::nullopt;
    }
    try {
        DataRecord record;
        record.line = 1;
        record.section = true;
        size_t at = live ? 3 : 2;  // the word after the process number
        if (live) record.pid = small_number(first[2]);
        size_t width = static_cast<size_t>(small_number(first[at]));
        size_t offset = static_cast<size_t>(count(first[at + 1]));
        size_t block_size = static_cast<size_t>(count(first[at + 2]));
        if (width != 4 && width != 8) throw BadLine{"counts of " + std::to_string(width) + " bytes"};
        if (offset <= end || offset > bytes.size() || block_size > bytes.size() - offset)
            throw BadLine{"the file ends before its block"};
        size = offset + block_size;
        record.fingerprint = std::hash<std::string_view>{}(bytes.substr(0, size));
        std::vector<LiveFunction> functions =
            live_layout(bytes.substr(end + 1, offset - end - 1), record, !live);
        if (record.header.empty()) throw BadLine{"a layout without H line"};
        BlockReader block(bytes.substr(offset, block_size), width);
        // The runs added up; of a live section, whether they were added.
        Count added = block.count();
        if (live) record.added = added != 0;
        else record.runs = added;
        std::vector<std::vector<Count>> decision_counts;
        for (LiveFunction& function : functions) {
            function.data.entries = block.count();
            function.data.exits = block.count();
            function.data.branches = block.counts(function.branch_slots);
            function.data.calls = block.counts(function.call_slots);
            function.data.calls.erase(function.data.calls.begin());  // call 0 is no call
            for (const LiveDecision& decision : function.decisions) {
                decision_counts.push_back(block.counts(decision.slots));
                Count overflow = block.count();
                block.count();  // the slots taken: a slot counts once ready
                if (overflow > 0) function.data.lost.emplace_back(decision.number, overflow);
            }
        }
        bool ran = false;
        size_t d = 0;
        for (LiveFunction& function : functions) {
            for (const LiveDecision& decision : function.decisions) {
                std::string_view ready = block.bytes(decision.slots);
                std::string_view vectors = block.bytes(decision.slots * (decision.conditions + 1));
                live_vectors(decision, decision_counts[d++], ready, vectors, function.data);
            }
            const FunctionData& data = function.data;
            auto counted = [](const std::vector<Count>& counts) {
                return std::any_of(counts.begin(), counts.end(), [](Count c) { return c > 0; });
            };
            ran = ran || data.entries > 0 || data.exits > 0 || counted(data.branches) || counted(data.calls) ||
                  !data.vectors.empty() || !data.lost.empty();
            record.functions.push_back(std::move(function.data));
        }
        if (!ran) return std::nullopt;
        return record;
    } catch (const BadLine& bad) {
        warn(1, bad.what + (live ? "; live file left out" : "; section left out"));
        return std::nullopt;
    }
}

// The sections of a live or data file, of the kind `tag` names, which
// start at multiples of `alignment` bytes.
std::vector<DataRecord> read_sections(std::string_view bytes, std::string_view tag, size_t alignment,
                                      const DataWarning& warn) {
    std::vector<DataRecord> records;
    size_t start = 0;
    while (start < bytes.size()) {
        std::string_view rest = bytes.substr(start);
        size_t size = 0;
        auto warn_section = [&](int line, const std::string& what) {
            warn(line, start == 0 ? what : "the section at byte " + std::to_string(start) + ": " + what);
        };
        if (std::optional<DataRecord> record = read_section(rest, tag, size, warn_section)) {
            record->place = start;
            records.push_back(std::move(*record));
        }
        // A section left out: go on at the next place where one may start.
        if (size == 0) size = alignment;
        start += (size + alignment - 1) / alignment * alignment;
    }
    return records;
}

// The text records of the data files of earlier run-times.
std::vector<DataRecord> read_text_records(std::string_view text, const DataWarning& warn) {
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
            open = DataRecord{};
            open->line = line_number;
            open->place = line_start;
            open->pid = *pid;
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

}  // namespace

DataWarning file_warnings(const std::string& path) {
    return [path](int line, const std::string& what) { report_at(MSG_WARNING, path, line, what); };
}

std::vector<DataRecord> read_live_data(std::string_view bytes, const DataWarning& warn) {
    return read_sections(bytes, kLiveSection, kLiveAlignment, warn);
}

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


std::vector<DataRecord> read_coverage_data(std::string_view bytes, const DataWarning& warn) {
    // A data file of sections; zeros: one whose first section was never written.
    if (bytes.starts_with(kSumSection) || bytes.starts_with('\0'))
        return read_sections(bytes, kSumSection, kSumAlignment, warn);
    return read_text_records(bytes, warn);
}

std::string escape_data_text(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (byte < 32 || byte == 127) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            out += octal;
        } else {
            out += c;
        }
    }
    return out;
}

std::string record_text(const DataRecord& record) {
    std::string out = record.runs > 0 ? "QVX-SUM 1 " + std::to_string(record.runs) + "\nL " + escape_data_text(record.label)
                                      : "QVX 1 " + std::to_string(record.pid);
    out += "\nH " + escape_data_text(record.header) + "\nD " + escape_data_text(record.date) + "\n";
    auto counts = [](const char* tag, const std::vector<Count>& values) {
        std::string line = tag;
        for (Count value : values) line += " " + std::to_string(value);
        return line + "\n";
    };
    for (const FunctionData& function : record.functions) {
        out += "F " + std::to_string(function.number) + " " + std::to_string(function.entries) + " " +
               std::to_string(function.exits) + " " + escape_data_text(function.name) + "\n";
        out += counts("B", function.branches) + counts("C", function.calls);
        // Per decision, from the smallest number: its vectors, then its evaluations not kept.
        std::set<int> decisions;
        for (const VectorCount& vector : function.vectors) decisions.insert(vector.decision);
        for (const auto& [decision, lost] : function.lost) decisions.insert(decision);
        for (int decision : decisions) {
            for (const VectorCount& v : function.vectors)
                if (v.decision == decision)
                    out += "M " + std::to_string(decision) + (v.outcome ? " 1 " : " 0 ") + v.vector + " " +
                           std::to_string(v.count) + "\n";
            for (const auto& [number, lost] : function.lost)
                if (number == decision) out += "X " + std::to_string(number) + " " + std::to_string(lost) + "\n";
        }
    }
    return out + "END\n";
}

}  // namespace qor::report
