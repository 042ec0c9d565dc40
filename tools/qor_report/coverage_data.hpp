// Reads coverage data: the data files where instrumented units add up
// their counts at program end, a section per unit and test label; the
// data files of earlier run-times, a text record per unit and process (a
// record without its END line, a disk that filled up, is left out); and
// the live files of processes that ended otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::report {

using Count = std::uint64_t;

// An M line: how often the decision gave `outcome` with these condition values.
struct VectorCount {
    int decision = 0;
    bool outcome = false;
    std::string vector;  // '1', '0', '-' per condition
    Count count = 0;
};

struct FunctionData {
    int number = 0;
    Count entries = 0;
    Count exits = 0;
    std::string name;            // full name: name, or file.c/name for main and static functions
    std::vector<Count> branches;  // branch 0 .. branch n
    std::vector<Count> calls;     // call 1 .. call m
    std::vector<VectorCount> vectors;
    std::vector<std::pair<int, Count>> lost;  // X lines: decision, evaluations not kept
};

struct DataRecord {
    int line = 0;    // of its QVX line in the file; 1 for a section
    bool section = false;    // of a live file or of a data file of sections
    size_t place = 0;        // of its QVX line or its section in the file
    size_t fingerprint = 0;  // a hash of its text, QVX line to END, to know a copy
    long pid = 0;    // 0 for a sum of runs
    std::string header;  // the unit's header path (H)
    std::string date;    // the source's date (D)
    std::vector<FunctionData> functions;
    // Of a data file's section: the number of runs added up (process
    // ends and dumps), and their test label. 0 for one process's counts.
    Count runs = 0;
    std::string label;
    // Of a live file's section: its counts were added to the data file.
    bool added = false;
};

// Problems are passed to `warn` with the line they concern; the records
// that are whole and well-formed are returned in file order, one per
// section where a probe ran, or per text record.
using DataWarning = std::function<void(int line, const std::string& text)>;
// The warnings of the data or live file `path`, as the file's messages.
DataWarning file_warnings(const std::string& path);
std::vector<DataRecord> read_coverage_data(std::string_view bytes, const DataWarning& warn);

// The name ending of live files.
inline constexpr std::string_view kLiveExtension = ".qvl";

// Reads a live file (.qvl): the blocks of counters that the units of one
// process map, which stay when the process ends without exit. Each unit's
// section whose probes ran makes one record; a section that is not whole
// is left out, and `warn` says why.
std::vector<DataRecord> read_live_data(std::string_view bytes, const DataWarning& warn);

// An H, D, L or name text: "\\" is a backslash, "\ooo" an octal byte.
std::string unescape_data_text(std::string_view text);
std::string escape_data_text(std::string_view text);

// The record in the text form of the data files of earlier run-times,
// which is also how `qor_report data` shows any record: the first line
// "QVX 1 <pid>" of one process's counts, "QVX-SUM 1 <runs>" and an L line
// of a sum; then H, D, and per function F, B, C and its decisions' M and
// X lines; END.
std::string record_text(const DataRecord& record);

}  // namespace qor::report
